#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "app/commands/GraphCommands.h"
#include "app/commands/KeyboardCommands.h"
#include "app/commands/RotationControl.h"

namespace ocuvis {

using test::CountingPresenter;
using test::RecordingFeedback;

struct ScriptedChooser final : ColorChooser {
    std::optional<Colour> ChooseColor() override {
        if (answers.empty()) return std::nullopt;
        const std::optional<Colour> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<Colour>> answers;
};

struct RecordingHost final : KeyboardHost {
    void ShowStatusText(const std::string& text) override { status = text; }
    void CloseWindow() override { ++closes; }
    std::string status;
    int closes = 0;
};

// A ready view (every redraw renders) with the commands wired as the window wires them.
struct CommandFixture : ::testing::Test {
    CommandFixture() { gate.viewReady = true; }

    // Frames rendered by what the callable does.
    template <typename F>
    int FramesFrom(F&& action) {
        const int before = presenter.frames;
        action();
        return presenter.frames - before;
    }

    GraphViewState view;
    GraphRecord graph;
    CountingPresenter presenter;
    RedrawGate gate{&presenter};
    MemoryFloatStore scaleStore;
    GraphScaling scaling{view, graph, gate, scaleStore};
    RecordingFeedback feedback;
    RecordingHost host;
    GraphCommands commands{view, scaling, gate, feedback};
    RotationControl rotation{view, scaling, gate, feedback};
    KeyboardCommands keys{view, scaling, gate, feedback, commands, rotation, host};
};

}  // namespace ocuvis
