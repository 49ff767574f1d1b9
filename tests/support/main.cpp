// Test entry: one QApplication for every test binary, offscreen unless told
// otherwise. On PostgreSQL (PARDEX_TEST_ENGINE=postgresql) every test needs
// the server scripts/with-test-postgres.sh starts: without one it fails,
// unless the server tests were switched off on purpose (PARDEX_TEST_PG=off).

#include "support/DemoDatabase.h"

#include <QApplication>

namespace {

class ServerRequired : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (!DemoDatabase::onPostgres())
            return;
        if (qEnvironmentVariable("PARDEX_TEST_PG") == u"off")
            GTEST_SKIP() << "PostgreSQL server tests switched off (PARDEX_TEST_PG=off)";
        if (qEnvironmentVariableIsEmpty("PARDEX_TEST_PG"))
            FAIL() << "no PostgreSQL server for the tests (PARDEX_TEST_PG is not set; "
                      "scripts/with-test-postgres.sh starts one; PARDEX_TEST_PG=off switches them off)";
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ServerRequired);
    const int result = RUN_ALL_TESTS();
    DemoDatabase::cleanUp();
    return result;
}
