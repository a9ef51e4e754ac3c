#pragma once

#include "toolkit/WinControl.h"

class TTransparentButton;

// A small window that shows the skin controls built so far: transparent
// buttons of each frame style over a painted surface. It stands in for the
// player's main window until that exists.
class Showcase : public TCustomControl {
    Q_OBJECT

public:
    explicit Showcase(TComponent* AOwner);

protected:
    void Paint() override;

private:
    TTransparentButton* AddButton(const QString& caption, int left, int top);

    int clicks_ = 0;
    QString lastClicked_;
};
