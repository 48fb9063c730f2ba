// main() for GUI tests: the application object exists only while tests run, so listing the
// tests creates no window.
#include <gtest/gtest.h>

#include "toolkit/Application.h"
#include "toolkit/Seams.h"

namespace {
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        FApplication = new TApplication();
        FApplication->Initialize();
        FApplication->SetTitle("Toolkit Tests");
    }
    void TearDown() override {
        delete FApplication;
        FApplication = nullptr;
    }

private:
    TApplication* FApplication = nullptr;
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);
    return RUN_ALL_TESTS();
}
