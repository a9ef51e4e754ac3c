#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "skin/TransitGeometry.h"
#include "toolkit/Bitmap.h"
#include "toolkit/GraphicControl.h"

class TTimer;

enum TTEAutoSize : std::uint8_t { asFitWidth = 0, asFitHeight = 1, asFitBoth = 2 };
enum TBGType : std::uint8_t { btBitmap = 0, btColor = 1, btTransparant = 2 };

// A windowless picture that arrives over a background (a picture, a colour
// or nothing) in Steps + 1 frames, one per timer tick.
//
// Frames are drawn outside the paint routine, straight over what is on
// screen, and nothing erases them: the control keeps a surface image of its
// own size that accumulates the background its paint routine draws and the
// frames drawn on top, and the widget shows that surface. A repaint request
// (or a size change) has the paint routine draw the background afresh; a
// request still pending when a tick comes is served first, as the event loop
// would have. Paint never draws Bitmap itself. The surface has the screen's
// device-pixel ratio, so pictures drawn at that ratio keep their every pixel
// while all frame rectangles stay in logical pixels.
//
// Once a transition has ended and a repaint has drawn the background afresh,
// the screen shows nothing but the background, so the surface is let go
// (at 2x it is 5 MB) and later paints draw the background straight onto the
// window; the next transition takes a surface again, the background in it.
//
// Failures are recorded in LastError and never raised. There is no form
// designer in this program, so the design-mode message boxes and the dashed
// frame never occur.
class TTransitionEffect : public TGraphicControl {
    Q_OBJECT

  public:
    explicit TTransitionEffect(TComponent* AOwner);
    ~TTransitionEffect() override;

    const TBitmap& BGBitmap() const { return bgBitmap_; }
    void SetBGBitmap(const TBitmap& bitmap);
    TColor BGColor() const { return bgColor_; }
    void SetBGColor(TColor color) { bgColor_ = color; }
    TBGType BGType() const { return bgType_; }
    void SetBGType(TBGType type) { bgType_ = type; }
    TTEAutoSize Autosize() const { return autosize_; }
    void SetAutosize(TTEAutoSize autosize);
    bool AutoSwap() const { return autoSwap_; }
    void SetAutoSwap(bool autoSwap) { autoSwap_ = autoSwap; }
    const TBitmap& Bitmap() const { return bitmap_; }
    void SetBitmap(const TBitmap& bitmap);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    bool Loop() const { return loop_; }
    void SetLoop(bool loop) { loop_ = loop; }
    bool PlaySound() const { return playSound_; }
    void SetPlaySound(bool playSound) { playSound_ = playSound; }
    const QString& SoundFile() const { return soundFile_; }
    void SetSoundFile(const QString& soundFile) { soundFile_ = soundFile; }
    int Steps() const { return steps_; }
    void SetSteps(int steps);
    bool Swap() const { return swap_; }
    void SetSwap(bool swap);
    TTETransition Transition() const { return transition_; }
    void SetTransition(TTETransition transition) { transition_ = transition; }

    int CurrentStep() const { return currentStep_; }
    float StepWidth() const { return stepWidth_; }
    float StepHeight() const { return stepHeight_; }
    bool FirstPaint() const { return firstPaint_; }
    const QString& LastError() const { return lastError_; }
    const TTimer& Timer() const { return *timer_; }
    // What the control shows: background and frames as drawn so far.
    const QImage& Surface() const { return surface_; }

    void Execute();
    void StopTransition();
    void DrawStep();
    void SwapBitmaps();

    TNotifyEvent OnLoad;
    TNotifyEvent OnNotify;
    TNotifyEvent OnBeforeStep;
    TNotifyEvent OnAfterStep;

  protected:
    void Paint() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void RequestRepaint();
    void ServePendingRepaint();
    // True when the surface had to change (size or device-pixel ratio).
    bool FitSurface();
    bool SurfaceHeld() const { return !surface_.isNull(); }
    // A surface again, showing what the screen shows: the background.
    void HoldSurface();
    void FitSizeToBackground();
    void PaintBackground();
    void FinishFirstPaint();
    void DrawFrame();
    void FinishCycle();
    void StartSound();
    void StopSound();
    bool SoundWanted() const { return playSound_ && !soundFile_.isEmpty(); }

    TBitmap bgBitmap_;
    TColor bgColor_ = clBlack;
    TBGType bgType_ = btBitmap;
    TTEAutoSize autosize_ = asFitWidth;
    bool autoSwap_ = false;
    TBitmap bitmap_;
    int interval_ = 100;
    bool loop_ = false;
    bool playSound_ = false;
    QString soundFile_;
    int steps_ = 10;
    bool swap_ = false;
    TTETransition transition_ = StretchFromLeft;

    int currentStep_ = 0;
    float stepWidth_ = 0;
    float stepHeight_ = 0;
    bool firstPaint_ = true;
    QString lastError_;
    TTimer* timer_ = nullptr;  // owned as a component

    QImage surface_;
    bool repaintPending_ = true;
    // A transition has ended: the next background repaint frees the surface.
    bool releaseSurface_ = false;
};
