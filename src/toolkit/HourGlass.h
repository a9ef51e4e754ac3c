#pragma once

// The hourglass cursor over every window of the program while something
// keeps the GUI thread busy: shown on Show(), taken away when the scope
// ends, however it ends.
class THourGlass {
  public:
    THourGlass() = default;
    ~THourGlass();
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

    void Show();

  private:
    bool shown_ = false;
};
