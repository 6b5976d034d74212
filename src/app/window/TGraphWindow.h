#pragma once

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ViewerDocument.h"
#include "app/commands/KeyboardCommands.h"
#include "app/window/GraphBox.h"
#include "app/window/GraphOutput.h"
#include "app/window/MainMenus.h"
#include "app/window/StatusPanel.h"
#include "app/window/StereoMenus.h"
#include "app/window/WindowDialogs.h"
#include "input/FileInputSetup.h"
#include "input/LoaderServices.h"
#include "input/dialogs/TFileProgressBarForm.h"
#include "render/SubsetPacing.h"
#include "settings/FileInputValues.h"
#include "settings/ProgressBarPosition.h"
#include "settings/WindowFit.h"

namespace ocuvis {

class TAboutBox;

// "Azim 30°": an angle label's text, the angle in whole degrees and the degree sign.
QString AngleText(const char* prefix, int degrees);

// Names the application. No display name is set: the X11 window system would append it to
// every caption, and the captions are the program's own texts.
void NameApplication();
class TFileFormat;
class TGraphTitles;

// The main window. It builds the controls, hands every event to the command logic and then
// brings the controls in line with the view state (SyncControls); it holds no setting itself.
class TGraphWindow final : public QMainWindow,
                           private LoadDisplay,
                           private FramePresenter,
                           private KeyboardHost {
    Q_OBJECT
  public:
    // What the window works with besides its own controls; each left empty gets the real one:
    // the Qt dialogs and message boxes, and the per-user settings hive.
    struct Services {
        std::unique_ptr<WindowDialogs> dialogs;
        std::unique_ptr<RegistryHive> hive;
    };

    // argumentText: the program's arguments as one text, the start-up file when not empty.
    explicit TGraphWindow(const std::string& argumentText, Services services = {});
    ~TGraphWindow() override;

    void OpenDataFile(const std::string& path);
    // A key press as its key code: what the window's key handler does with it.
    void FormKeyDown(int keyCode);
    // The frame as it stands after any pending render.
    const QImage& frameBitmap();
    // The picture to save, copy or print: every record, drawn now if the frame on screen shows
    // a subset.
    const QImage& wholeFrameBitmap();

    ViewerDocument& document() { return *document_; }
    const MainMenus& menus() const { return menus_; }
    const StereoMenus& stereoMenus() const { return stereoMenus_; }
    WindowDialogs& dialogs() { return *dialogs_; }
    FileInputSetup& fileInput() { return fileInput_; }
    TFileFormat& fileInputDialog() { return *fileInputDialog_; }
    TGraphTitles& titlesDialog() { return *titlesDialog_; }
    GraphOutput& output() { return output_; }

    GraphBox* GraphBoxWidget = nullptr;
    StatusStrip* ScrollBarPanel = nullptr;
    StatusPanel* MsgLabel = nullptr;
    StatusPanel* StatusBar = nullptr;
    QWidget* ButtonsPanel = nullptr;
    QWidget* XYPanel = nullptr;
    QWidget* ZRPanel = nullptr;
    QScrollBar* XRangeScrollBar = nullptr;
    QScrollBar* YRangeScrollBar = nullptr;
    QScrollBar* ZRangeScrollBar = nullptr;
    QScrollBar* XOffsetScrollBar = nullptr;
    QScrollBar* YOffsetScrollBar = nullptr;
    QScrollBar* ZOffsetScrollBar = nullptr;
    QScrollBar* ElevationScrollBar = nullptr;
    QScrollBar* AzimuthScrollBar = nullptr;
    QLabel* ElevationLabel = nullptr;
    QLabel* AzimuthLabel = nullptr;
    QTimer* RotateTimer = nullptr;

    // Renders actually made, for tests and the status of a slow machine.
    int framesRendered() const { return framesRendered_; }
    // Of them, those that showed a subset of the records while the view moved.
    int subsetFramesRendered() const { return subsetFramesRendered_; }
    // Whether the frame on screen shows a subset of the records.
    bool subsetShown() const { return subsetShown_; }
    // What a whole frame of the records is expected to take, from the last one measured.
    double wholeFrameSeconds() const {
        return pacing_.WholeFrameSeconds(document_->store->pointCount);
    }
    // The time spent making them, for measuring where a frame's time goes.
    double renderSeconds() const { return renderSeconds_; }
    // Off, a moving view too is drawn whole at every frame: what the whole cloud costs, for
    // measuring.
    bool subsetWhileMoving = true;
    // How long the view must rest before a frame of a cloud too large to move whole shows
    // every record again.
    static constexpr int kRestMilliseconds = 150;
    // That frame, when it is expected to take longer than this, is drawn on a thread of its own
    // while the window goes on answering keys and the mouse; any newer frame supersedes it.
    double backgroundFrameSeconds = 0.05;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // LoadDisplay
    void SetCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    // FramePresenter
    void ShowFrame() override;
    void StoreChanging() override;
    // KeyboardHost
    void ShowStatusText(const std::string& text) override;
    void CloseWindow() override;

    void BuildPanels();
    void BuildGraphAndStatusPanels(QWidget* central, QVBoxLayout* column);
    void BuildXYPanel();
    void BuildZRPanel();
    void ConnectGraphBox();
    void ConnectCommands();
    void ConnectFileCommands();
    void ConnectColorCommands();
    void ConnectPlotCommands();
    // Asks for the colour map's range until it is well formed or the dialog is cancelled.
    void AskColourRange(GraphCommands& commands);
    void ConnectScaleAndRotationCommands();
    void ConnectStereoCommands();
    void ExportAnimationItemClick();
    // A menu item or a tool button that runs a command through Run.
    void On(QAction* action, const std::function<void()>& command);
    void OnClick(QAbstractButton* button, const std::function<void()>& command);
    void ConnectScrollBars();
    void RebuildRecentFiles();
    void SyncControls();
    // A whole frame at rest may be drawn apart unless the caller needs it at once.
    void RenderFrameNow(bool mayDrawApart = true);
    // The whole frame at rest, drawn apart: started, stopped (waiting for its thread), shown.
    void StartRestFrame(const TitleTexts& titles, int width, int height);
    void StopRestFrame();
    void ShowRestFrame(int generation, const QImage& image, double seconds, int records);
    // A whole frame was shown: the subset notice goes and the pacing learns its time.
    void WholeFrameShown(int records, double seconds);
    void ApplyFixedAspect(float factor);
    void FormResize();
    void ArrangeButtonPanels();
    WindowBounds Bounds() const;
    void ApplyBounds(const WindowBounds& bounds, const FrameMargins& frame);
    void FitFrameOnScreen();
    // Runs a command and then brings the controls in line.
    void Run(const std::function<void()>& command);
    void OpenFromDialog();
    // Names the record under a click in the status strip and marks its dot.
    void PickAt(int x, int y);
    void ColorCommand(void (GraphCommands::*command)(ColorChooser&));
    void SetFormatItemClick();
    void TitlesEditItemClick();

    std::unique_ptr<WindowDialogs> dialogs_;
    std::unique_ptr<RegistryHive> hive_;
    RedrawGate gate_;
    // The side windows make a store of their own, stateless like every store.
    RepeatFilter sideMessages_{*dialogs_};
    OrlenRegistry sideStore_{*hive_, sideMessages_};
    ProgressBarPosition progressPosition_{sideStore_, kAppKeyName};
    FileProgressFactory progress_{progressPosition_, *dialogs_};
    FileInputValues fileInputValues_{sideStore_, kAppKeyName};
    FileInputSetup fileInput_{fileInputValues_, *dialogs_};
    GraphOutput output_{*dialogs_};
    std::unique_ptr<ViewerDocument> document_;
    std::unique_ptr<KeyboardCommands> keyboard_;
    MainMenus menus_{};
    StereoMenus stereoMenus_{};
    TAboutBox* aboutBox_ = nullptr;
    TFileFormat* fileInputDialog_ = nullptr;
    TGraphTitles* titlesDialog_ = nullptr;
    std::vector<QAction*> recentActions_;
    QImage frameBitmap_;
    bool frameStale_ = false;
    Placement placement_ = Placement::Centred;
    // The bounds were fitted again with the frame the window manager gave the window.
    bool frameFitted_ = false;
    bool closeRequested_ = false;
    // The status bar keeps a dropped file's name against the paint area's hint.
    bool holdDropStatus_ = false;
    int framesRendered_ = 0;
    int subsetFramesRendered_ = 0;
    double renderSeconds_ = 0.0;
    // Frames of a cloud too large for the timer show a subset until the view has rested.
    SubsetPacing pacing_;
    QTimer* restTimer_ = nullptr;
    bool wholeFrameDue_ = false;
    bool subsetShown_ = false;
    QString hintBeforeSubset_;
    // Counts the frames asked for, so that a whole frame drawn apart is shown only if no newer
    // one was asked for meanwhile.
    int frameGeneration_ = 0;
    std::unique_ptr<FrameRenderer> restRenderer_;
    std::atomic<bool> restStop_{false};
    std::thread restThread_;
};

}  // namespace ocuvis
