#pragma once

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <array>

#include "app/window/MainMenus.h"
#include "core/GraphViewState.h"

namespace ocuvis {

// The stereo items beside the menus' own: the composed views in the View menu's radio group,
// swapped eyes, the separation and the anaglyph method (all also behind the tool bar's 3D
// button), and File > Export Animation....
struct StereoMenus {
    // RedCyan .. TopBottomHalf, in the order of the view types.
    std::array<QAction*, 6> viewItems{};
    QAction* swapEyesItem = nullptr;
    QMenu* separationMenu = nullptr;
    QAction* widerItem = nullptr;
    QAction* narrowerItem = nullptr;
    QAction* usualItem = nullptr;
    // Optimised, plain.
    std::array<QAction*, 2> anaglyphItems{};
    QAction* exportAnimationItem = nullptr;
    // Down while a composed view is shown.
    QToolButton* button = nullptr;
};

StereoMenus BuildStereoMenus(const MainMenus& menus);
// Check marks and the separation's caption in line with the view.
void SyncStereoMenus(const StereoMenus& menus, const GraphViewState& view);

}  // namespace ocuvis
