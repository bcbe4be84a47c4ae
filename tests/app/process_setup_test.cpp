#include "app/process_setup.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

TEST(SessionBusAddressTest, OnlyAMissingBusWithoutLauncherGetsTheStandardSocket) {
    SessionBusFacts facts;
    facts.runtime_dir = "/run/user/1000";
    facts.uid = 1000;
    EXPECT_EQ(SessionBusAddressToSet(facts), "unix:path=/run/user/1000/bus");

    // The user's own address, a running bus or a launcher that may start one
    // are left to the bus library.
    facts.address = "unix:path=/somewhere/else";
    EXPECT_EQ(SessionBusAddressToSet(facts), "");
    facts.address = "";
    facts.user_bus_exists = true;
    EXPECT_EQ(SessionBusAddressToSet(facts), "");
    facts.user_bus_exists = false;
    facts.launcher_found = true;
    EXPECT_EQ(SessionBusAddressToSet(facts), "");

    // No runtime folder: where the login manager would have put it.
    SessionBusFacts bare;
    bare.uid = 42;
    EXPECT_EQ(SessionBusAddressToSet(bare), "unix:path=/run/user/42/bus");
    bare.runtime_dir = "";
    EXPECT_EQ(SessionBusAddressToSet(bare), "unix:path=/run/user/42/bus");

    // Address syntax: ',' ends a key and '=' a name, so they are escaped.
    bare.runtime_dir = "/tmp/run dir,a=b";
    EXPECT_EQ(SessionBusAddressToSet(bare), "unix:path=/tmp/run%20dir%2ca%3db/bus");
}

// Sets or clears an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value == nullptr) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value, 1);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SessionBusAddressTest, TheProcessLooksForTheSocketAndTheLauncherOnPath) {
    if (::access("/usr/bin/dbus-launch", X_OK) == 0)
        GTEST_SKIP() << "dbus-launch is installed here: the bus library may start a bus";
    test_support::TempFolder runtime;
    test_support::TempFolder tools;
    const ScopedEnv no_address("DBUS_SESSION_BUS_ADDRESS", nullptr);
    const ScopedEnv runtime_dir("XDG_RUNTIME_DIR", runtime.str().c_str());
    const std::string path = "/nonexistent:" + tools.str();
    const ScopedEnv search_path("PATH", path.c_str());

    SkipMissingBusLauncher();
    const char* set = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(std::string(set), "unix:path=" + runtime.str() + "/bus");

    // A launcher in the second PATH folder is found; a plain file is no
    // launcher.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const fs::path launcher = tools.path() / "dbus-launch";
    std::ofstream(launcher) << "#!/bin/sh\n";
    SkipMissingBusLauncher();
    EXPECT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    fs::permissions(launcher, fs::perms::owner_exec, fs::perm_options::add);
    SkipMissingBusLauncher();
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);

    // A bus socket in the runtime folder is used by the library itself.
    fs::remove(launcher);
    std::ofstream(runtime.path() / "bus") << "";
    SkipMissingBusLauncher();
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
}

}  // namespace
}  // namespace orvo
