// The folders under src/ depend on one another in one direction only. Every
// #include line of every file under src/ is read; an include that names a
// folder the including folder may not use fails with the file and line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What each folder may include besides itself: fb <- framework <- controls <-
// forms <- windows; db beside framework (windows may use it); reportengine on
// Qt only, used by the grid's listings and the windows; platform on Qt and the
// system only. The windows may use one another.
const std::map<std::string, std::set<std::string>>& allowedIncludes()
{
    static const std::set<std::string> windowsUse = {
        "fb",   "platform", "framework", "db",       "controls",    "forms",
        "app",  "register", "codelists", "reports",  "maintenance", "reportengine",
    };
    static const std::map<std::string, std::set<std::string>> table = {
        {"fb", {}},
        {"platform", {}},
        {"reportengine", {}},
        {"framework", {"fb", "platform"}},
        {"db", {"fb", "platform", "framework"}},
        {"controls", {"fb", "platform", "framework", "reportengine"}},
        {"forms", {"fb", "platform", "framework", "controls", "reportengine"}},
        {"app", windowsUse},
        {"register", windowsUse},
        {"codelists", windowsUse},
        {"reports", windowsUse},
        {"maintenance", windowsUse},
    };
    return table;
}

struct Violation {
    std::string file;  // relative to the tree
    int line = 0;
    std::string text;
};

std::string generic(const fs::path& p)
{
    return p.generic_string();
}

// Every include of a folder that the including folder may not use, and every
// folder under the tree that the table does not know.
std::vector<Violation> checkTree(const fs::path& root)
{
    static const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    const auto& table = allowedIncludes();
    std::vector<Violation> out;

    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(root))
        if (entry.is_directory())
            folders.insert(entry.path().filename().string());
    for (const std::string& folder : folders)
        if (!table.count(folder))
            out.push_back({folder + "/", 0, "the folder is not in the dependency table"});

    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    for (const fs::path& file : files) {
        const fs::path relative = file.lexically_relative(root);
        if (std::distance(relative.begin(), relative.end()) < 2)
            continue;  // files beside the folders belong to none
        const std::string from = relative.begin()->string();
        const auto allowed = table.find(from);
        if (allowed == table.end())
            continue;  // reported above
        std::ifstream in(file);
        std::string text;
        for (int number = 1; std::getline(in, text); ++number) {
            std::smatch m;
            if (!std::regex_search(text, m, include))
                continue;
            const std::string target = m[1].str();
            const auto slash = target.find('/');
            if (slash == std::string::npos)
                continue;  // beside the file, or a library header
            const std::string to = target.substr(0, slash);
            // Only folders of the tree count ("generated/" lives in the build tree,
            // "firebird/" and "QtCore/" are libraries).
            if (to == from || (!table.count(to) && !folders.count(to)))
                continue;
            if (!allowed->second.count(to))
                out.push_back({generic(relative), number, from + "/ includes " + target});
        }
    }
    return out;
}

std::string report(const std::vector<Violation>& violations)
{
    std::ostringstream s;
    for (const Violation& v : violations)
        s << "src/" << v.file << ':' << v.line << ": " << v.text << '\n';
    return s.str();
}

TEST(LayeringTest, SourceTreeIncludesOnlyDownward)
{
    const std::vector<Violation> violations = checkTree(LINDAVO_SRC_DIR);
    EXPECT_TRUE(violations.empty()) << report(violations);
}

// A fake tree in a temporary folder, one file per case.
class FakeTree : public testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("lindavo-layering-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        for (const auto& [folder, uses] : allowedIncludes())
            fs::create_directories(root / folder);
    }
    void TearDown() override { fs::remove_all(root); }

    void write(const std::string& file, const std::string& text)
    {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    }

    fs::path root;
};

TEST_F(FakeTree, EachUpwardIncludeIsReportedWithItsLine)
{
    struct Case {
        const char* file;
        const char* include;
        bool allowed;
    };
    const Case cases[] = {
        {"fb/Query.cpp", "#include \"framework/Messages.h\"", false},
        {"fb/Error.cpp", "#include \"platform/Sound.h\"", false},
        {"framework/Messages.cpp", "#include \"fb/Error.h\"", true},
        {"framework/Dialogs.cpp", "#include \"controls/DataControl.h\"", false},
        {"framework/Clock.cpp", "#include \"db/SchemaVersion.h\"", false},
        {"db/MigrationRunner.cpp", "#include \"framework/TransactionHelpers.h\"", true},
        {"db/SampleData.cpp", "#include \"controls/GridModel.h\"", false},
        {"controls/IBEdit.cpp", "#include \"forms/FormUni.h\"", false},
        {"controls/GridModel.cpp", "#include \"db/MemTable.h\"", false},
        {"forms/FormUni.cpp", "  #  include <controls/DataControl.h>", true},
        {"forms/FormDetails.cpp", "#include \"app/fMain.h\"", false},
        {"register/fEPreklady.cpp", "#include \"codelists/fAdresar.h\"", true},
        {"app/fMain.cpp", "#include \"db/fUpdate.h\"", true},
        {"reports/Runner.cpp", "#include \"reportengine/Layout.h\"", true},
        {"reportengine/Layout.cpp", "#include \"fb/Query.h\"", false},
        {"platform/Sound.cpp", "#include \"framework/Messages.h\"", false},
        {"maintenance/fBackup.cpp", "#include \"generated/version.h\"", true},
        {"fb/FbApi.h", "#include <firebird/Interface.h>", true},
    };
    std::vector<std::string> expected;
    for (const Case& k : cases) {
        write(k.file, "// a file\n\n" + std::string(k.include) + "\n");
        if (!k.allowed)
            expected.push_back(std::string(k.file) + ":3");
    }
    std::vector<std::string> found;
    for (const Violation& v : checkTree(root))
        found.push_back(v.file + ':' + std::to_string(v.line));
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
}

TEST_F(FakeTree, UnknownFolderIsReported)
{
    write("newlayer/Thing.cpp", "#include \"fb/Query.h\"\n");
    const std::vector<Violation> violations = checkTree(root);
    ASSERT_EQ(violations.size(), 1u) << report(violations);
    EXPECT_EQ(violations[0].file, "newlayer/");
}

TEST_F(FakeTree, CleanTreePasses)
{
    write("app/main.cpp", "#include \"app/fMain.h\"\n#include \"forms/FormUni.h\"\n#include <QApplication>\n");
    write("fb/Query.cpp", "#include \"fb/Query.h\"\n#include \"Local.h\"\n");
    EXPECT_TRUE(checkTree(root).empty()) << report(checkTree(root));
}

}  // namespace
