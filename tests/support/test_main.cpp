#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef CLIPSNARE_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <memory>

namespace {

// No test may touch the real settings: each one starts with an empty,
// private configuration folder.
class FreshConfigHome : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &) override
    {
        dir_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", dir_->path().toLocal8Bit());
    }
    void OnTestEnd(const testing::TestInfo &) override { dir_.reset(); }

    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshConfigHome);
    return RUN_ALL_TESTS();
}
