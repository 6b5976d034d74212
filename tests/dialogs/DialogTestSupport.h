#pragma once

#include "TestSupport.h"
#include "settings/OrlenRegistry.h"
#include "settings/ProgressBarPosition.h"
#include "settings/SettingsSchema.h"
#include "settings/SqliteHive.h"

namespace ocuvis::test {

// The settings of one test: the fresh hive the test main names for it.
struct TestSettings {
    SqliteHive hive{SqliteHive::DefaultPath()};
    RecordingFeedback feedback;
    OrlenRegistry store{hive, feedback};
    ProgressBarPosition progressPosition{store, kAppKeyName};
};

}  // namespace ocuvis::test
