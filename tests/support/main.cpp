// Test entry: one QApplication for every test binary, offscreen unless told
// otherwise, and the data environment's statement record switched on. On
// PostgreSQL (PARDEX_TEST_ENGINE=postgresql) without a server to run on,
// every test is skipped with one line that says so.

#include "data/Diagnostics.h"
#include "support/DemoDatabase.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class ServerRequired : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (DemoDatabase::onPostgres() && qEnvironmentVariableIsEmpty("PARDEX_TEST_PG"))
            GTEST_SKIP() << "no PostgreSQL server for the tests (PARDEX_TEST_PG is not set; "
                            "scripts/with-test-postgres.sh starts one)";
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Diagnostics::instance().setRecording(true);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ServerRequired);
    const int result = RUN_ALL_TESTS();
    DemoDatabase::cleanUp();
    return result;
}
