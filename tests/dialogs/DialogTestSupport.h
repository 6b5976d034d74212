#pragma once

#include "OrlenRegistry.h"
#include "ProgressBarPosition.h"
#include "SettingsSchema.h"
#include "SqliteHive.h"
#include "TestSupport.h"

namespace ocuvis::test {

// The settings of one test: the fresh hive the test main names for it.
struct TestSettings {
    SqliteHive hive{SqliteHive::DefaultPath()};
    RecordingFeedback feedback;
    OrlenRegistry store{hive, feedback};
    ProgressBarPosition progressPosition{store, kAppKeyName};
};

}  // namespace ocuvis::test
