// Compiled into every test program: a private runtime folder for the test's lifetime, set before
// Qt starts, so the platform plugin neither warns that XDG_RUNTIME_DIR is unset nor leaves a
// shared folder in /tmp. Tools a test starts inherit it.

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct TestRuntimeFolder {
    std::string path;

    TestRuntimeFolder()
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tipdesk-test-runtime-XXXXXX";
        if (mkdtemp(pattern.data())) { // 0700, as the runtime folder must be
            path = pattern;
            setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
        }
    }
    ~TestRuntimeFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
};

const TestRuntimeFolder g_runtimeFolder;

} // namespace
#endif
