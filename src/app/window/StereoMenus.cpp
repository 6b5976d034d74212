#include "app/window/StereoMenus.h"

#include <QActionGroup>

#include "app/commands/StereoCommands.h"

namespace ocuvis {

namespace {

QAction* NewItem(QMenu* menu, const QString& caption, const QString& shortcut, bool checkable) {
    auto* action = new QAction(caption, menu);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    action->setCheckable(checkable);
    return action;
}

}  // namespace

StereoMenus BuildStereoMenus(const MainMenus& m) {
    StereoMenus s;
    s.button = m.StereoSpdBtn;
    QMenu* view = m.ViewMenu;
    // The composed views join the five in their group, above the mode indicator.
    QActionGroup* group = m.viewItems[0]->actionGroup();
    const std::array<const char*, 6> captions = {"Red/C&yan Glasses",   "&Green/Magenta Glasses",
                                                 "&Amber/Blue Glasses", "Side by Side &Half",
                                                 "&Top-Bottom",         "Top-Bottom H&alf"};
    const std::array<const char*, 6> hints = {
        "Red filter left, cyan right: both eyes drawn whole and mixed",
        "Green filter left, magenta right",
        "Amber filter left, blue right",
        "Each eye squeezed to half the width, for 3D TVs and headsets",
        "Left eye on top, right eye below",
        "Left eye on top, each squeezed to half the height"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        s.viewItems[i] = NewItem(view, captions[i], {}, true);
        SetHint(s.viewItems[i], hints[i]);
        if (group != nullptr) group->addAction(s.viewItems[i]);
        view->insertAction(m.ModeIndicatorItem, s.viewItems[i]);
    }
    view->insertSeparator(m.ModeIndicatorItem);

    // Keys no other command uses.
    s.swapEyesItem = NewItem(view, "S&wap Eyes", "Ctrl+E", true);
    SetHint(s.swapEyesItem, "Exchange the left and right eye's images, key=<Ctrl+E>");
    view->addAction(s.swapEyesItem);
    s.separationMenu = view->addMenu("Eye &Separation");
    s.widerItem = NewItem(s.separationMenu, "&Wider", "Ctrl+]", false);
    s.narrowerItem = NewItem(s.separationMenu, "&Narrower", "Ctrl+[", false);
    s.usualItem = NewItem(s.separationMenu, "&Usual (1.0)", "Ctrl+\\", false);
    for (QAction* item : {s.widerItem, s.narrowerItem, s.usualItem})
        s.separationMenu->addAction(item);
    QMenu* anaglyph = view->addMenu("Anaglyph &Colours");
    auto* methods = new QActionGroup(anaglyph);
    s.anaglyphItems = {NewItem(anaglyph, "&Optimised", {}, true),
                       NewItem(anaglyph, "&Plain (grey)", {}, true)};
    for (QAction* item : s.anaglyphItems) {
        methods->addAction(item);
        anaglyph->addAction(item);
    }

    // The tool bar's 3D button offers the same items.
    auto* button = new QMenu(m.StereoSpdBtn);
    for (QAction* item : s.viewItems)
        button->addAction(item);
    button->addSeparator();
    button->addAction(s.swapEyesItem);
    button->addMenu(s.separationMenu);
    button->addMenu(anaglyph);
    m.StereoSpdBtn->setMenu(button);

    s.exportAnimationItem = NewItem(m.FileMenu, "Export &Animation...", {}, false);
    SetHint(s.exportAnimationItem, "Write a turntable or wiggle of the view as GIF or WebP");
    m.FileMenu->insertAction(m.PrintSetupItem, s.exportAnimationItem);
    m.FileMenu->insertSeparator(m.PrintSetupItem);
    return s;
}

void SyncStereoMenus(const StereoMenus& s, const GraphViewState& v) {
    for (std::size_t i = 0; i < s.viewItems.size(); ++i) {
        const bool selected = static_cast<int>(v.viewType) ==
                              static_cast<int>(ViewType::RedCyan) + static_cast<int>(i);
        if (s.viewItems[i]->isChecked() != selected) s.viewItems[i]->setChecked(selected);
    }
    if (s.button->isChecked() != IsComposedView(v.viewType))
        s.button->setChecked(IsComposedView(v.viewType));
    s.swapEyesItem->setChecked(v.swapEyes);
    s.separationMenu->setTitle(
        QString("Eye &Separation (%1)").arg(SeparationText(v.eyeSeparationTenths)));
    s.anaglyphItems[0]->setChecked(v.anaglyphMethod == AnaglyphMethod::Optimised);
    s.anaglyphItems[1]->setChecked(v.anaglyphMethod == AnaglyphMethod::Plain);
}

}  // namespace ocuvis
