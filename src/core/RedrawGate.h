#pragma once

namespace ocuvis {

// Whatever shows a frame: the main window's paint area, or a fake in tests.
class FramePresenter {
  public:
    virtual ~FramePresenter() = default;
    // Renders a new frame when one is pending and puts it on screen.
    virtual void ShowFrame() = 0;
    // The point store is about to change: nothing may go on reading it.
    virtual void StoreChanging() {}
};

// Every command ends in RedrawGraph. While the view is not ready (construction, auto scale, the
// scale save and restore) a redraw only marks the frame as pending, so that scroll-bar change
// handlers set off in a batch never render a half-changed state.
class RedrawGate {
  public:
    explicit RedrawGate(FramePresenter* presenter = nullptr) : presenter_(presenter) {}

    void SetPresenter(FramePresenter* presenter) { presenter_ = presenter; }

    void StoreChanging() {
        if (presenter_ != nullptr) presenter_->StoreChanging();
    }

    void RedrawGraph() {
        redrawPending = true;
        if (viewReady && presenter_ != nullptr) presenter_->ShowFrame();
    }

    // Clears viewReady for its lifetime and then gives it back its earlier value.
    class Hold {
      public:
        explicit Hold(RedrawGate& gate) : gate_(gate), wasReady_(gate.viewReady) {
            gate_.viewReady = false;
        }
        ~Hold() { gate_.viewReady = wasReady_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        RedrawGate& gate_;
        bool wasReady_;
    };

    bool viewReady = false;
    bool redrawPending = false;

  private:
    FramePresenter* presenter_;
};

}  // namespace ocuvis
