#include "app/window/TGraphWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusTipEvent>
#include <QVBoxLayout>
#include <QWindow>

#include "app/commands/KeyCodes.h"
#include "app/window/TAboutBox.h"
#include "app/window/ToolbarIcons.h"
#include "core/ScreenCentre.h"
#include "input/dialogs/TFileFormat.h"
#include "render/PointPick.h"
#include "settings/SqliteHive.h"
#include "settings/WindowFit.h"
#include "settings/dialogs/TGraphTitles.h"

namespace ocuvis {

namespace {

constexpr int kDesignWidth = 790;
constexpr int kDesignHeight = 364;
constexpr int kPanelWidth = 395;
// The bars shrink to this in a narrow window rather than leave the panel.
constexpr int kNarrowestBar = 60;

QScrollBar* Bar(QWidget* parent, const ScrollRange& range, int pageStep, const QString& hint) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(range.minimum, range.maximum);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setFixedHeight(13);
    bar->setMinimumWidth(kNarrowestBar);
    bar->setMaximumWidth(99);
    bar->setFocusPolicy(Qt::NoFocus);
    if (!hint.isEmpty()) SetHint(bar, hint);
    return bar;
}

QLabel* Caption(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// The angle labels: small white panels with a lowered bevel, right-aligned text.
QLabel* AngleLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    // As wide as the longest text of either label in this font, and a blank to spare.
    int widest = 62 - 2 * label->frameWidth();
    for (const char* prefix : {"Elev ", "Azim "})
        for (int degrees = -180; degrees <= 180; ++degrees)
            widest = std::max(widest, label->fontMetrics().horizontalAdvance(
                                          AngleText(prefix, degrees) + QLatin1Char(' ')));
    label->setFixedSize(widest + 2 * label->frameWidth(), 16);
    SetHint(label, "Click & drag graph to rotate.");
    return label;
}

// The two rows of labels and bars in each of the bottom panels.
QGridLayout* PanelGrid(QWidget* panel) {
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 3, 4, 3);
    grid->setVerticalSpacing(4);
    return grid;
}

std::vector<ScreenArea> AvailableScreens() {
    std::vector<ScreenArea> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        areas.push_back({area.left(), area.top(), area.width(), area.height()});
    }
    return areas;
}

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}

}  // namespace

void NameApplication() {
    QApplication::setApplicationName(QStringLiteral("Ocuvis"));
}

QString AngleText(const char* prefix, int degrees) {
    return QString::fromLatin1(prefix) + QString::number(degrees) + QChar(0x00B0);
}

TGraphWindow::TGraphWindow(const std::string& argumentText, Services services)
    : dialogs_(services.dialogs ? std::move(services.dialogs)
                                : std::make_unique<QtWindowDialogs>()),
      hive_(services.hive ? std::move(services.hive)
                          : std::make_unique<SqliteHive>(SqliteHive::DefaultPath())),
      gate_(this) {
    setWindowTitle(QString::fromStdString(kApplicationTitle));
    setWindowIcon(MakeToolbarIcon(ToolbarIcon::Program));
    resize(kDesignWidth, kDesignHeight);
    menus_ = BuildMainMenus(this, menuBar());
    addToolBar(menus_.ToolBar);
    BuildPanels();

    document_ = std::make_unique<ViewerDocument>(static_cast<LoadDisplay&>(*this), *dialogs_, gate_,
                                                 *hive_, progress_, fileInput_);
    keyboard_ = std::make_unique<KeyboardCommands>(
        document_->view, document_->scaling, gate_, *dialogs_, document_->commands,
        document_->rotation, static_cast<KeyboardHost&>(*this));
    aboutBox_ = new TAboutBox(FromLocal(programTitle), FromLocal(versionString), this);
    // Its stored size was read with the set-up values; like the window's, it may not fit.
    fileInputValues_.dialogBounds = FitOnScreens(fileInputValues_.dialogBounds, AvailableScreens());
    fileInputDialog_ = new TFileFormat(fileInput_, fileInputValues_, *dialogs_, this);
    fileInputDialog_->chooseDataFile = [this](QWidget* parent) {
        return dialogs_->ChooseSetupDataFile(parent);
    };
    titlesDialog_ = new TGraphTitles(document_->titles, this);

    const std::string startupFile = document_->StartupFile(argumentText);
    WindowBounds bounds = Bounds();
    document_->Initialise(bounds);
    placement_ = bounds.placement;
    ApplyBounds(bounds, {});
    setAcceptDrops(true);

    ConnectCommands();
    ConnectScrollBars();
    document_->recentFiles.onChanged = [this] { RebuildRecentFiles(); };
    RebuildRecentFiles();

    RotateTimer = new QTimer(this);
    RotateTimer->setTimerType(Qt::PreciseTimer);
    connect(RotateTimer, &QTimer::timeout, this,
            [this] { Run([this] { document_->rotation.RotateTimerTimer(); }); });
    RotateTimer->start(document_->view.rotateDelay);
    restTimer_ = new QTimer(this);
    restTimer_->setSingleShot(true);
    restTimer_->setInterval(kRestMilliseconds);
    connect(restTimer_, &QTimer::timeout, this, [this] {
        wholeFrameDue_ = true;
        ShowFrame();
    });

    document_->LoadStartupFile(startupFile);
    gate_.RedrawGraph();
    gate_.viewReady = true;
    SyncControls();
    FormResize();
    qApp->installEventFilter(this);
}

TGraphWindow::~TGraphWindow() {
    StopRestFrame();
    qApp->removeEventFilter(this);
    if (RotateTimer != nullptr) RotateTimer->stop();
    // The dialogs are bound to members that go before the window's children do.
    delete fileInputDialog_;
    delete titlesDialog_;
}

void TGraphWindow::BuildPanels() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    BuildGraphAndStatusPanels(central, column);
    ButtonsPanel = new QWidget(central);
    ButtonsPanel->setFixedHeight(40);
    XYPanel = new QWidget(ButtonsPanel);
    XYPanel->setGeometry(0, 0, kPanelWidth, 40);
    ZRPanel = new QWidget(ButtonsPanel);
    ZRPanel->setGeometry(kPanelWidth, 0, kPanelWidth, 40);
    BuildXYPanel();
    BuildZRPanel();
    // The window is never narrower than a panel with its bars at their narrowest.
    ButtonsPanel->setMinimumWidth(
        std::max(XYPanel->minimumSizeHint().width(), ZRPanel->minimumSizeHint().width()));
    column->addWidget(ButtonsPanel);
    setCentralWidget(central);
    ConnectGraphBox();
}

void TGraphWindow::BuildGraphAndStatusPanels(QWidget* central, QVBoxLayout* column) {
    auto* GraphPanel = new QFrame(central);
    GraphPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    GraphPanel->setLineWidth(1);
    auto* graphLayout = new QVBoxLayout(GraphPanel);
    graphLayout->setContentsMargins(1, 1, 1, 1);
    GraphBoxWidget = new GraphBox(GraphPanel);
    graphLayout->addWidget(GraphBoxWidget);
    column->addWidget(GraphPanel, 1);

    ScrollBarPanel = new StatusStrip(central);
    MsgLabel = ScrollBarPanel->result();
    StatusBar = ScrollBarPanel->hints();
    column->addWidget(ScrollBarPanel);
}

void TGraphWindow::BuildXYPanel() {
    XRangeScrollBar = Bar(XYPanel, kRangeBar, 1, "F1 Decrease / F2 Increase");
    XOffsetScrollBar = Bar(XYPanel, kXYOffsetBar, 1, "Shift-F1 Decrease / Shift-F2 Increase");
    YRangeScrollBar = Bar(XYPanel, kRangeBar, 1, "F3 Decrease / F4 Increase");
    YOffsetScrollBar = Bar(XYPanel, kXYOffsetBar, 1, {});
    QGridLayout* xy = PanelGrid(XYPanel);
    xy->addWidget(Caption(XYPanel, "X Range"), 0, 0);
    xy->addWidget(XRangeScrollBar, 0, 1);
    xy->addWidget(Caption(XYPanel, "X Offset"), 0, 2);
    xy->addWidget(XOffsetScrollBar, 0, 3);
    xy->addWidget(Caption(XYPanel, "Y Range"), 1, 0);
    xy->addWidget(YRangeScrollBar, 1, 1);
    xy->addWidget(Caption(XYPanel, "Y Offset"), 1, 2);
    xy->addWidget(YOffsetScrollBar, 1, 3);
}

void TGraphWindow::BuildZRPanel() {
    ZRangeScrollBar = Bar(ZRPanel, kRangeBar, 1, "F5 Decrease / F6 Increase");
    ZOffsetScrollBar = Bar(ZRPanel, kZOffsetBar, 1, "Shift-F5 Decrease / Shift-F6 Increase");
    ElevationScrollBar = Bar(ZRPanel, kAngleBar, 3, "F7 Increase / F7-Shift Decrease");
    AzimuthScrollBar = Bar(ZRPanel, kAngleBar, 3, "F8 Increase / F8-Shift Decrease");
    ElevationLabel = AngleLabel(ZRPanel);
    AzimuthLabel = AngleLabel(ZRPanel);
    QGridLayout* zr = PanelGrid(ZRPanel);
    zr->addWidget(Caption(ZRPanel, "Z Range"), 0, 0);
    zr->addWidget(ZRangeScrollBar, 0, 1);
    zr->addWidget(Caption(ZRPanel, "Z Offset"), 0, 2);
    zr->addWidget(ZOffsetScrollBar, 0, 3);
    zr->addWidget(ElevationLabel, 1, 0, Qt::AlignRight);
    zr->addWidget(ElevationScrollBar, 1, 1);
    zr->addWidget(AzimuthLabel, 1, 2, Qt::AlignRight);
    zr->addWidget(AzimuthScrollBar, 1, 3);
}

void TGraphWindow::ConnectGraphBox() {
    GraphBoxWidget->currentFrame = [this]() -> const QImage* {
        if (!document_) return nullptr;
        gate_.redrawPending = false;
        // A paint while a load lets events through shows the last frame: the store is half
        // filled and not yet normalised. The load's end asks for the new one.
        if (frameStale_ && !document_->loading()) RenderFrameNow();
        return frameBitmap_.isNull() ? nullptr : &frameBitmap_;
    };
    GraphBoxWidget->onResize = [this] {
        if (document_) gate_.RedrawGraph();
    };
    GraphBoxWidget->onMouseDown = [this](bool left, int x, int y) {
        if (document_) Run([&] { document_->rotation.GraphBoxMouseDown(left, x, y); });
    };
    GraphBoxWidget->onMouseMove = [this](bool left, int x, int y) {
        if (document_) Run([&] { document_->rotation.GraphBoxMouseMove(left, x, y); });
    };
    GraphBoxWidget->onContextMenu = [this](const QPoint& at) { menus_.PopupMenu->exec(at); };
    GraphBoxWidget->onPanStart = [this](int x, int y) {
        if (document_)
            document_->pan.Start(x, y, GraphBoxWidget->width(), GraphBoxWidget->height());
    };
    GraphBoxWidget->onPanMove = [this](int x, int y) {
        if (document_) Run([&] { document_->pan.Move(x, y); });
    };
    GraphBoxWidget->onWheel = [this](int notches) {
        if (document_) Run([&] { document_->scaling.ZoomAllAxes(notches); });
    };
    GraphBoxWidget->onClick = [this](int x, int y) {
        if (document_ && !document_->loading()) PickAt(x, y);
    };
}

void TGraphWindow::PickAt(int x, int y) {
    // The frame on show is the one the pick must agree with.
    frameBitmap();
    const TitleTexts titles = document_->CurrentTitles();
    const FrameSources sources{document_->view, document_->graph, *document_->store, titles};
    const PickedPoint picked =
        PickPoint(sources, frameBitmap_.width(), frameBitmap_.height(), x, y);
    if (picked.record < 0 || document_->store->defaultDataLoaded) {
        GraphBoxWidget->SetMarks({}, 0);
        return;
    }
    std::vector<QPoint> marks = {{picked.column1, picked.row}};
    if (document_->view.viewType != ViewType::Single) marks.push_back({picked.column2, picked.row});
    GraphBoxWidget->SetMarks(std::move(marks), picked.size + 3);
    ShowStatusText(PickedPointText(*document_->store, document_->graph, picked.record));
}

// A render is asked for: it is made once, when the paint area is next painted, so that the
// several redraws one command or tick may ask for cost one frame.
void TGraphWindow::ShowFrame() {
    if (!document_) return;
    ++frameGeneration_;
    restStop_ = true;
    frameStale_ = true;
    GraphBoxWidget->update();
}

void TGraphWindow::StoreChanging() {
    ++frameGeneration_;
    StopRestFrame();
}

void TGraphWindow::RenderFrameNow(bool mayDrawApart) {
    frameStale_ = false;
    // A mark belongs to the view it was picked in.
    GraphBoxWidget->SetMarks({}, 0);
    const TitleTexts titles = document_->CurrentTitles();
    const FrameSources sources{document_->view, document_->graph, *document_->store, titles};
    // A frame should fit the timer's interval, and a drag or key at least 30 frames a second;
    // a fifth is left for showing it. Wide lines are always drawn whole.
    const GraphViewState& view = document_->view;
    const int records = document_->store->pointCount;
    const double budget = 0.8e-3 * std::min(view.rotateDelay, 33);
    const bool resting = wholeFrameDue_;
    const int step = wholeFrameDue_ || view.lineThickness > 1 || !subsetWhileMoving
                         ? 1
                         : pacing_.StepFor(records, budget);
    wholeFrameDue_ = false;
    const int width = std::max(1, GraphBoxWidget->width());
    const int height = std::max(1, GraphBoxWidget->height());
    // The subset stays on screen until the whole frame is ready.
    if (resting && mayDrawApart && pacing_.WholeFrameSeconds(records) > backgroundFrameSeconds) {
        StartRestFrame(titles, width, height);
        return;
    }
    FrameRenderer& renderer = document_->renderer;
    renderer.subsetStep = step;
    const auto render = [&] {
        QElapsedTimer clock;
        clock.start();
        frameBitmap_ = renderer.RenderImage(width, height, sources);
        const double took = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        renderSeconds_ += took;
        return took;
    };
    double seconds = render();
    renderer.subsetStep = 1;
    ++framesRendered_;
    if (step == 1) {
        // The first whole frame after a load or a change of what is drawn runs cold (buffers
        // grown, memory touched the first time, the second thread started) and has taken 3 to
        // 12 warm ones; a spin never rests to measure again, so a cloud that fits would turn as
        // a subset throughout. A whole frame that would start a subset the last one did not is
        // drawn once more, the same pixels, and the faster counts; not one far beyond the
        // budget, whose cloud would hardly fit warm, and whose second drawing would hold the
        // window up.
        if (view.lineThickness <= 1 && subsetWhileMoving && seconds <= 8 * budget) {
            SubsetPacing paced = pacing_;
            paced.NoteWholeFrame(records, seconds);
            if (paced.StepFor(records, budget) > 1 && pacing_.StepFor(records, budget) == 1)
                seconds = std::min(seconds, render());
        }
        WholeFrameShown(records, seconds);
    } else {
        ++subsetFramesRendered_;
        if (!subsetShown_) hintBeforeSubset_ = StatusBar->text();
        subsetShown_ = true;
        ScrollBarPanel->ShowHint(
            QString("Moving: 2 of every %1 records shown, all of them at rest").arg(step));
        restTimer_->start();
    }
    ApplyFixedAspect(1.0f);
}

void TGraphWindow::WholeFrameShown(int records, double seconds) {
    pacing_.NoteWholeFrame(records, seconds);
    if (subsetShown_) ScrollBarPanel->ShowHint(hintBeforeSubset_);
    subsetShown_ = false;
}

void TGraphWindow::StartRestFrame(const TitleTexts& titles, int width, int height) {
    StopRestFrame();
    restStop_ = false;
    if (!restRenderer_) {
        restRenderer_ = std::make_unique<FrameRenderer>();
        restRenderer_->stop = &restStop_;
    }
    // Text labels take the depth range of the last faded frame, as they would on this thread.
    restRenderer_->fadeNear = document_->renderer.fadeNear;
    restRenderer_->fadeFar = document_->renderer.fadeFar;
    const PointStore* store = document_->store.get();
    restThread_ = std::thread([this, view = document_->view, graph = document_->graph, titles,
                               store, width, height, generation = frameGeneration_] {
        QElapsedTimer clock;
        clock.start();
        const FrameSources sources{view, graph, *store, titles};
        QImage image = restRenderer_->RenderImage(width, height, sources);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        QMetaObject::invokeMethod(
            this,
            [this, generation, image = std::move(image), seconds, records = store->pointCount] {
                ShowRestFrame(generation, image, seconds, records);
            },
            Qt::QueuedConnection);
    });
}

void TGraphWindow::StopRestFrame() {
    restStop_ = true;
    if (restThread_.joinable()) restThread_.join();
}

void TGraphWindow::ShowRestFrame(int generation, const QImage& image, double seconds, int records) {
    if (restThread_.joinable()) restThread_.join();
    // Stopped, or a newer frame was asked for: this one is not what the view shows now.
    if (generation != frameGeneration_ || image.isNull()) return;
    document_->renderer.fadeNear = restRenderer_->fadeNear;
    document_->renderer.fadeFar = restRenderer_->fadeFar;
    frameBitmap_ = image;
    ++framesRendered_;
    renderSeconds_ += seconds;
    WholeFrameShown(records, seconds);
    GraphBoxWidget->update();
    ApplyFixedAspect(1.0f);
}

const QImage& TGraphWindow::wholeFrameBitmap() {
    frameBitmap();
    if (subsetShown_ && document_ && !document_->loading()) {
        StopRestFrame();
        ++frameGeneration_;  // a whole frame already on its way is not waited for
        wholeFrameDue_ = true;
        RenderFrameNow(false);
    }
    return frameBitmap_;
}

const QImage& TGraphWindow::frameBitmap() {
    if (frameStale_ && document_ && !document_->loading()) RenderFrameNow();
    return frameBitmap_;
}

void TGraphWindow::ApplyFixedAspect(float factor) {
    if (!document_ || !document_->view.fixedAspect) return;
    // The client height here is the whole window's below the menu bar, bars and panels included.
    float h = static_cast<float>(height() - menuBar()->height());
    const ViewType type = document_->view.viewType;
    if (type == ViewType::CrossEyes || type == ViewType::WallEyes)
        h = static_cast<float>(static_cast<double>(h) * 1.96);
    const int wanted = static_cast<int>(h * factor);
    if (wanted > 0 && wanted != width()) resize(wanted, height());
}

void TGraphWindow::FormResize() {
    if (ButtonsPanel == nullptr) return;
    ButtonsPanel->setFixedHeight(frameGeometry().width() < kDesignWidth ? 80 : 40);
    ArrangeButtonPanels();
}

// Two rows under each other in a narrow window, one row otherwise; a panel never reaches past
// the strip's right edge, its bars shrink instead.
void TGraphWindow::ArrangeButtonPanels() {
    const int width = ButtonsPanel->width();
    if (ButtonsPanel->maximumHeight() > 40) {
        XYPanel->setGeometry(0, 0, std::min(kPanelWidth, width), 40);
        ZRPanel->setGeometry(0, 40, std::min(kPanelWidth, width), 40);
    } else {
        XYPanel->setGeometry(0, 0, kPanelWidth, 40);
        ZRPanel->setGeometry(kPanelWidth, 0, std::clamp(width - kPanelWidth, 0, kPanelWidth), 40);
    }
}

void TGraphWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
    FitFrameOnScreen();
}

void TGraphWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    FitFrameOnScreen();
}

void TGraphWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Where no resize follows the first appearance, this gives the first frame.
    if (document_) gate_.RedrawGraph();
    FitFrameOnScreen();
}

// The stored bounds: the frame's position and the client size. The size of the window frame is
// only known once the window manager has framed the window, and counting it in would make a
// restored window grow by the frame at every run.
WindowBounds TGraphWindow::Bounds() const {
    WindowBounds bounds;
    bounds.top = pos().y();
    bounds.left = pos().x();
    bounds.height = height();
    bounds.width = width();
    bounds.placement = Placement::Centred;
    return bounds;
}

// Applied twice: before the window shows, when its frame is not yet known, and once more when
// the window manager has framed it, so that the whole frame, title bar included, is on screen.
void TGraphWindow::ApplyBounds(const WindowBounds& stored, const FrameMargins& frame) {
    WindowBounds sized = stored;
    sized.width = std::max(200, stored.width);
    sized.height = std::max(150, stored.height);
    const WindowBounds bounds = FitOnScreens(sized, AvailableScreens(), frame);
    resize(bounds.width, bounds.height);
    if (placement_ == Placement::Centred) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(CentredStart(area.left(), area.width(), width() + frame.left + frame.right),
                 CentredStart(area.top(), area.height(), height() + frame.top + frame.bottom));
        }
    } else {
        move(bounds.left, bounds.top);
    }
}

void TGraphWindow::FitFrameOnScreen() {
    if (frameFitted_ || !isVisible() || windowHandle() == nullptr) return;
    const QMargins margins = windowHandle()->frameMargins();
    // Not framed yet; on a platform that never frames, the first fit was the whole fit.
    if (margins.isNull()) return;
    frameFitted_ = true;
    ApplyBounds(Bounds(), {margins.left(), margins.top(), margins.right(), margins.bottom()});
}

void TGraphWindow::SetCaption(const std::string& caption) {
    setWindowTitle(FromLocal(caption));
}

void TGraphWindow::SetStatusText(const std::string& text) {
    MsgLabel->setText(QString::fromStdString(text));
}

void TGraphWindow::ShowStatusText(const std::string& text) {
    holdDropStatus_ = false;
    ScrollBarPanel->ShowHint(QString::fromStdString(text));
}

void TGraphWindow::CloseWindow() {
    close();
}

bool TGraphWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The pointer comes back to the paint area when a drop or a dialog ends (and again when
        // the progress window goes): that is no new hover, and the dropped file's name or a
        // load result that holds the strip stays until another control's hint comes.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        const bool held = holdDropStatus_ || ScrollBarPanel->resultSpansStrip();
        if (held && (tip.isEmpty() || tip == GraphBoxWidget->statusTip())) return true;
        holdDropStatus_ = false;
        ScrollBarPanel->ShowHint(tip);
        return true;
    }
    return QMainWindow::event(event);
}

// Every key press of the window comes here before the focused control sees it; menu short-cuts
// have taken theirs already.
bool TGraphWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ButtonsPanel && event->type() == QEvent::Resize) ArrangeButtonPanels();
    if (event->type() != QEvent::KeyPress || !document_) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || QApplication::activeModalWidget())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    FormKeyDown(KeyCode(VirtualKeyFromQt(key->key(), key->modifiers()), key->modifiers()));
    return true;
}

void TGraphWindow::FormKeyDown(int keyCode) {
    Run([&] { keyboard_->FormKeyDown(keyCode); });
}

namespace {

// The first dropped local file; links to elsewhere (a web page, a remote share) are no files
// the loader can open.
QString FirstLocalFile(const QMimeData* data) {
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile();
    return {};
}

}  // namespace

void TGraphWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TGraphWindow::dropEvent(QDropEvent* event) {
    const QString file = FirstLocalFile(event->mimeData());
    if (file.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The first file only, and its whole path: a cut one could name another file.
    const std::string path = file.toLocal8Bit().toStdString();
    ScrollBarPanel->ShowHint("Filename is " + FromLocal(path));
    holdDropStatus_ = true;
    OpenDataFile(path);
}

void TGraphWindow::OpenDataFile(const std::string& path) {
    Run([&] { document_->OpenDataFile(path); });
    QApplication::setActiveWindow(this);
    raise();
}

void TGraphWindow::closeEvent(QCloseEvent* event) {
    if (!document_) {
        event->accept();
        return;
    }
    // The loader lets events through while it reads; closing then would pull the store from
    // under it. The close happens when the load is over.
    if (document_->loading()) {
        closeRequested_ = true;
        event->ignore();
        return;
    }
    RotateTimer->stop();
    {
        // Kept whole or not at all: a kill during the close leaves the last close's settings.
        OrlenRegistry::Batch batch(sideStore_);
        document_->SaveAtClose(Bounds());
        // Released with the titles it edits.
        delete titlesDialog_;
        titlesDialog_ = nullptr;
        keyboard_.reset();
        document_.reset();  // writes the recent files list
    }
    event->accept();
}

void TGraphWindow::Run(const std::function<void()>& command) {
    if (!document_) return;
    command();
    SyncControls();
    if (closeRequested_ && !document_->loading()) {
        closeRequested_ = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

}  // namespace ocuvis
