// Both upgrade actions against a small demo installation in which one product
// database file is in a faulty state. Each row of the table below checks what
// the user is told (caption, icon, directory, file and the cause in Chinese),
// what the logs hold, that the faulty file and its folder are exactly as they
// were (no backup or temporary file left), and that the other products were
// or were not upgraded as the action's rules say. A last group kills the
// upgrade at random points of its commits: each file is then either the old
// one or the new one, byte for byte, and the next run completes.

#include "data/almanac/almanac_table.h"
#include "data/fortunes/fortune_texts.h"
#include "demo_prefix.h"
#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/read/database.h"
#include "jet/format/header_page.h"
#include "recording_feedback.h"
#include "temporary_prefix.h"
#include "upgrade/almanac_upgrade.h"
#include "upgrade/fortune_upgrade.h"
#include "upgrade/jet_product_database.h"
#include "upgrade/upgrade_messages.h"
#include "text/utf8_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace upgrade;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::set<std::string> folderListing(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(text::utf8FromPath(entry.path().filename()));
    return names;
}

enum class Action { Almanac, Fortune };

// Three products that both actions visit in this order; the middle one holds
// the faulty file: QorBirth.dll for the almanac, Tgcode.dll for the fortunes.
const std::string& beforeDirectory() {
    static const std::string directory = fortuneList().entry(0);
    return directory;
}
const std::string& victimDirectory() {
    static const std::string directory = fortuneList().entry(4);
    return directory;
}
const std::string& afterDirectory() {
    static const std::string directory = fortuneList().entry(10);
    return directory;
}

std::string victimFileName(Action action) { return action == Action::Almanac ? "QorBirth.dll" : "Tgcode.dll"; }

struct TemplateFile {
    demo::InstalledFile file;  // path relative to the prefix
    Bytes bytes;
};

// The three products' databases as the demo makes them; made once, copied for each case.
const std::vector<TemplateFile>& templateFiles() {
    static const std::vector<TemplateFile> files = [] {
        TemporaryPrefix prefix;
        const fs::path demoPrefix = prefix.root() / "demo";
        demo::makeDrives(demoPrefix);
        const demo::AlmanacShape shapes[] = {demo::AlmanacShape::WithAutoNumberKey, demo::AlmanacShape::Plain,
                                             demo::AlmanacShape::WithDateIndex};
        const std::string* directories[] = {&beforeDirectory(), &victimDirectory(), &afterDirectory()};
        std::vector<TemplateFile> made;
        for (int i = 0; i < 3; ++i)
            for (demo::InstalledFile& file : demo::installProduct(demoPrefix, {*directories[i], true, true, true, shapes[i]})) {
                Bytes bytes = fileBytes(file.path);
                file.path = fs::relative(file.path, demoPrefix);
                made.push_back({std::move(file), std::move(bytes)});
            }
        return made;
    }();
    return files;
}

// A demo installation of the three products, in a throw-away folder.
class ThreeProducts {
public:
    ThreeProducts() : demo_(prefix_.root() / "demo") {
        demo::makeDrives(demo_);
        for (const TemplateFile& made : templateFiles()) {
            demo::InstalledFile file = made.file;
            file.path = demo_ / file.path;
            fs::create_directories(file.path.parent_path());
            writeBytes(file.path, made.bytes);
            files_.push_back(std::move(file));
        }
    }

    upgrade::Installation installation() const {
        return upgrade::Installation::withDrives(
            {{'c', demo_ / "drive_c"}, {'d', demo_ / "drive_d"}, {'e', demo_ / "drive_e"}});
    }
    const std::vector<demo::InstalledFile>& files() const { return files_; }
    fs::path path(const std::string& directory, const std::string& fileName) const {
        return demo::localDirectory(demo_, directory) / fileName;
    }

private:
    TemporaryPrefix prefix_;
    fs::path demo_;
    std::vector<demo::InstalledFile> files_;
};

// The faulty file and what a state may need while the action runs.
struct Victim {
    Action action;
    fs::path file;
    std::function<void()> restore;                  // undoes what would keep the folder from being removed
    std::function<void()> verify;                   // checks of the state's own, after the action
    std::unique_ptr<jet::Connection> otherWriter;   // another copy of the patch holding the file
    ProgressListener almanacProgress;
    FortuneProgressListener fortuneProgress;
};

// --- Faulty states --------------------------------------------------------

void patchHeader(Victim& victim, const std::function<void(Bytes&)>& change) {
    Bytes image = fileBytes(victim.file);
    change(image);
    writeBytes(victim.file, image);
}

// Changes a field of the masked part of the header, as Access stores it.
void patchMasked(Victim& victim, const std::function<void(std::uint8_t*)>& change) {
    patchHeader(victim, [&](Bytes& image) {
        jet::toggleHeaderMask(image.data());
        change(image.data());
        jet::toggleHeaderMask(image.data());
    });
}

void notAccess(Victim& victim) {
    Bytes image(3 * 4096, 0);
    const char dll[] = "MZ\x90 This program cannot be run in DOS mode.";
    std::memcpy(image.data(), dll, sizeof dll);
    writeBytes(victim.file, image);
}

void accessNinetySeven(Victim& victim) {
    patchHeader(victim, [](Bytes& image) { image[0x14] = 0x00; });
}

void accessTwentySeven(Victim& victim) {
    patchHeader(victim, [](Bytes& image) {
        image[0x14] = 0x02;
        std::memcpy(image.data() + 4, "Standard ACE DB", 15);
    });
}

void truncated(Victim& victim) {
    patchHeader(victim, [](Bytes& image) { image.resize(image.size() - 100); });
}

std::string actionTable(Action action) { return action == Action::Almanac ? "huangdao" : "Bennian2011"; }

void damagedTableDefinition(Victim& victim) {
    const std::uint32_t page = jet::Database::open(text::utf8FromPath(victim.file)).table(actionTable(victim.action)).page;
    patchHeader(victim, [&](Bytes& image) { image[std::size_t(page) * 4096] = 0x01; });   // a data page where the definition was
}

// --- Damaged structure: each must be refused before anything is written --------

// Cut short by its last page, as an interrupted copy leaves a file.
void cutShortAtAPageBoundary(Victim& victim) {
    patchHeader(victim, [](Bytes& image) { image.resize(image.size() - 4096); });
}

std::uint8_t* pageOf(Bytes& image, std::uint32_t page) { return image.data() + std::size_t(page) * 4096; }

// Zeroes the first page (past the header) that `matches`, as a lost sector reads.
void zeroFirstPage(Victim& victim, const std::function<bool(const std::uint8_t*)>& matches) {
    patchHeader(victim, [&](Bytes& image) {
        for (std::uint32_t page = 1; page < image.size() / 4096; ++page)
            if (matches(pageOf(image, page))) {
                std::fill_n(pageOf(image, page), 4096, std::uint8_t{0});
                return;
            }
        ADD_FAILURE() << "no such page in " << victim.file;
    });
}

std::uint32_t le32(const std::uint8_t* bytes) { return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24; }

void zeroedDataPage(Victim& victim) {
    const std::uint32_t table = jet::Database::open(text::utf8FromPath(victim.file)).table(actionTable(victim.action)).page;
    zeroFirstPage(victim, [table](const std::uint8_t* page) { return page[0] == 0x01 && le32(page + 4) == table; });
}

void zeroedIndexPage(Victim& victim) {
    zeroFirstPage(victim, [](const std::uint8_t* page) { return page[0] == 0x04; });
}

void zeroedLongValuePage(Victim& victim) {
    zeroFirstPage(victim, [](const std::uint8_t* page) { return page[0] == 0x01 && std::memcmp(page + 4, "LVAL", 4) == 0; });
}

// The file's page map (page 1, row 0, an inline bitmap where a set bit means free) marks the
// definition page of the action's table free.
void usageMapBitFlipped(Victim& victim) {
    const std::uint32_t table = jet::Database::open(text::utf8FromPath(victim.file)).table(actionTable(victim.action)).page;
    patchHeader(victim, [table](Bytes& image) {
        std::uint8_t* page = pageOf(image, 1);
        const std::size_t rowEnd = 4096, rowStart = (page[14] | page[15] << 8) & 0x1FFF;
        ASSERT_GT(rowEnd - rowStart, 5u + table / 8);
        ASSERT_EQ(page[rowStart], 0x00) << "not an inline map";
        const std::uint32_t start = le32(page + rowStart + 1);
        ASSERT_LE(start, table);
        page[rowStart + 5 + (table - start) / 8] ^= static_cast<std::uint8_t>(1u << ((table - start) % 8));
    });
}

void encryptedPages(Victim& victim) {
    patchMasked(victim, [](std::uint8_t* page) { page[0x3E] = 0x12, page[0x3F] = 0x34, page[0x40] = 0x56, page[0x41] = 0x78; });
}

void databasePassword(Victim& victim) {
    patchMasked(victim, [](std::uint8_t* page) { page[0x42] ^= 'a'; });   // first character, XOR-ed with the date mask
}

void openInTheProduct(Victim& victim) {
    fs::path lock = victim.file;
    lock.replace_extension(".ldb");
    std::ofstream(lock) << "PC-0815";
}

// The product's lock file as another program names it.
void openInTheProductUpperCase(Victim& victim) {
    fs::path lock = victim.file;
    lock.replace_extension(".LDB");
    std::string name = text::utf8FromPath(lock.filename());
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    std::ofstream(lock.parent_path() / text::pathFromUtf8(name)) << "PC-0815";
}

void heldByAnotherPatch(Victim& victim) {
    victim.otherWriter = std::make_unique<jet::Connection>(text::utf8FromPath(victim.file));
}

void readOnlyFile(Victim& victim) {
    // On Windows this sets the file's read-only attribute.
    fs::permissions(victim.file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    victim.restore = [file = victim.file] { fs::permissions(file, fs::perms::owner_write, fs::perm_options::add); };
}

// Rebuilds the victim file with the action's table changed by `change`.
void rebuildTable(Victim& victim, const std::function<void(jet::NewTable&)>& change) {
    jet::NewTable table = victim.action == Action::Almanac ? demo::almanacTable(demo::AlmanacShape::Plain) : demo::fortuneTable();
    change(table);
    fs::remove(victim.file);
    demo::writeProductDatabase(victim.file, {table});
}

void dropColumn(jet::NewTable& table, const std::string& name) {
    const auto at = std::find_if(table.columns.begin(), table.columns.end(), [&](const jet::NewColumn& c) { return c.name == name; });
    const auto index = at - table.columns.begin();
    table.columns.erase(at);
    for (auto& row : table.rows) row.erase(row.begin() + index);
}

// A text column too short for the new content; the old rows get short values that fit.
void shortenColumn(jet::NewTable& table, const std::string& name, std::uint16_t length) {
    const auto at = std::find_if(table.columns.begin(), table.columns.end(), [&](const jet::NewColumn& c) { return c.name == name; });
    at->type = jet::ColumnType::Text;
    at->textLength = length;
    for (auto& row : table.rows) row[at - table.columns.begin()] = std::string("旧");
}

void tableMissing(Victim& victim) {
    fs::remove(victim.file);
    demo::writeProductDatabase(victim.file, {});
}

void columnMissing(Victim& victim) {
    rebuildTable(victim, [&](jet::NewTable& table) { dropColumn(table, victim.action == Action::Almanac ? "ji" : "Liuyue"); });
}

void columnTooShort(Victim& victim) {
    rebuildTable(victim, [&](jet::NewTable& table) {
        if (victim.action == Action::Almanac) shortenColumn(table, "yi", 20);
        else shortenColumn(table, "Values", 255);
    });
}

// Almanac: a unique index on cong, which the new days repeat every sixty
// days; the engine keeps index keys of ASCII text only, so it refuses the
// first insert (the old table is empty, as the engine could not have built
// it otherwise). Fortunes: a unique index on a number column the updates
// leave alone.
void uniqueIndex(Victim& victim) {
    rebuildTable(victim, [&](jet::NewTable& table) {
        if (victim.action == Action::Almanac) {
            table.indexes.push_back({"ChongIndex", {"cong"}, false, true});
            table.rows.clear();
        } else {
            table.columns.push_back({"bianhao", jet::ColumnType::Long});
            table.indexes.push_back({"BianhaoIndex", {"bianhao"}, false, true});
            for (std::size_t i = 0; i < table.rows.size(); ++i) table.rows[i].emplace_back(static_cast<std::int64_t>(i + 1));
        }
    });
}

// A primary key on a plain number column: the inserts, which give it no value, break it.
void primaryKeyWithoutAutoNumber(Victim& victim) {
    rebuildTable(victim, [&](jet::NewTable& table) {
        table.columns.insert(table.columns.begin(), {"ID", jet::ColumnType::Long});
        table.indexes.push_back({"PrimaryKey", {"ID"}, true, true});
        for (std::size_t i = 0; i < table.rows.size(); ++i)
            table.rows[i].insert(table.rows[i].begin(), static_cast<std::int64_t>(i + 1));
    });
}

// The first row is missing: the almanac is rebuilt anyway; the fortune update of that key
// changes nothing, which is no error.
void firstRowMissing(Victim& victim) {
    rebuildTable(victim, [](jet::NewTable& table) { table.rows.erase(table.rows.begin()); });
}

#ifndef _WIN32
// A file size limit makes writes fail as on a full disk (EFBIG instead of
// ENOSPC); SIGXFSZ is ignored so the write returns the error.
class FileSizeLimit {
public:
    FileSizeLimit() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        lift();
        std::signal(SIGXFSZ, previous_);
    }
    void set(rlim_t bytes) {
        rlimit small = saved_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    void lift() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
};

void readOnlyFolder(Victim& victim) {
    const fs::path folder = victim.file.parent_path();
    // The engine refuses a folder without write permission bits also for the
    // superuser, whom the system itself would let write.
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    victim.restore = [folder] { fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add); };
}

// The disk fills while the victim's backup copy is made: only its unit runs
// under a limit of half its size.
void diskFullWhileKeepingTheBackup(Victim& victim) {
    auto limit = std::make_shared<FileSizeLimit>();
    const auto half = static_cast<rlim_t>(fs::file_size(victim.file) / 2);
    victim.almanacProgress = [limit, half](std::size_t, std::size_t, std::string_view directory) {
        directory == victimDirectory() ? limit->set(half) : limit->lift();
    };
    victim.fortuneProgress = [limit, half](std::size_t, std::size_t, std::string_view directory, FortuneBlock block) {
        directory == victimDirectory() && block == FortuneBlock::ZodiacFortunes ? limit->set(half) : limit->lift();
    };
    victim.restore = [limit] { limit->lift(); };
}

// The disk fills while the victim's new file is written: its replacement
// file may not grow past 4 KiB.
void diskFullWhileWritingTheNewFile(Victim& victim) {
    auto limit = std::make_shared<FileSizeLimit>();
    const std::string replacement = jet::replacementPath(text::utf8FromPath(victim.file));
    jet::setReplaceProbe([limit, replacement](const char* step) {
        std::strcmp(step, "write") == 0 && fs::exists(text::pathFromUtf8(replacement)) ? limit->set(4096) : limit->lift();
    });
    // The next product starts with a backup copy, before any write of its own.
    victim.almanacProgress = [limit](std::size_t, std::size_t, std::string_view) { limit->lift(); };
    victim.restore = [limit] {
        jet::setReplaceProbe(nullptr);
        limit->lift();
    };
}
#endif

#ifndef _WIN32
// Another process holds a record lock on the whole file, as Wine does for a
// Windows program that locked it.
void lockedByAnotherProcess(Victim& victim) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(victim.file.c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const char status = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        if (write(ready[1], &status, 1) != 1) _exit(1);
        for (;;) pause();
    }
    char status = 'n';
    ASSERT_EQ(read(ready[0], &status, 1), 1);
    close(ready[0]);
    close(ready[1]);
    ASSERT_EQ(status, 'y');
    victim.restore = [child] {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    };
}
#endif

#ifndef _WIN32
// A second name of a file outside the product's folder planted as the
// backup: taken for a kept backup, the database would go without one.
void hardLinkAtTheBackup(Victim& victim) {
    const fs::path bait = victim.file.parent_path().parent_path() / "bait.hard";
    writeBytes(bait, {'b', 'a', 'i', 't'});
    fs::create_hard_link(bait, backupPathFor(victim.file));
    victim.verify = [bait] { EXPECT_EQ(fileBytes(bait), (Bytes{'b', 'a', 'i', 't'})); };
}
#endif

// Something that is not a file of the patch at one of the names it keeps
// beside a database: its replacement file, its lock file, the backup, and the
// name the backup is copied under. A link points at a file outside the
// product's folder, which must stay as it was (or, for a dangling link, must
// not come into being).
enum class Obstacle { LinkToAFile, DanglingLink, Fifo, Folder };

std::function<void(Victim&)> obstacleAt(std::string suffix, Obstacle obstacle) {
    return [suffix, obstacle](Victim& victim) {
        fs::path name = victim.file;
        name += suffix;
        const fs::path bait = victim.file.parent_path().parent_path() / ("bait" + suffix);
        switch (obstacle) {
        case Obstacle::LinkToAFile:
            writeBytes(bait, {'b', 'a', 'i', 't'});
            fs::create_symlink(bait, name);
            break;
        case Obstacle::DanglingLink: fs::create_symlink(bait, name); break;
        case Obstacle::Fifo:
#ifndef _WIN32
            ASSERT_EQ(mkfifo(name.c_str(), 0644), 0);
#endif
            break;
        case Obstacle::Folder: fs::create_directory(name); break;
        }
        victim.verify = [obstacle, name, bait] {
            const fs::file_status status = fs::symlink_status(name);
            switch (obstacle) {
            case Obstacle::LinkToAFile:
                EXPECT_TRUE(fs::is_symlink(status));
                EXPECT_EQ(fileBytes(bait), (Bytes{'b', 'a', 'i', 't'})) << "written through the link";
                break;
            case Obstacle::DanglingLink:
                EXPECT_TRUE(fs::is_symlink(status));
                EXPECT_FALSE(fs::exists(bait)) << "a file was made where the link points";
                break;
            case Obstacle::Fifo: EXPECT_TRUE(fs::is_fifo(status)); break;
            case Obstacle::Folder: EXPECT_TRUE(fs::is_directory(status) && fs::is_empty(name)); break;
            }
        };
    };
}

// --- The table --------------------------------------------------------------

struct FaultCase {
    std::string name;
    Action action;
    std::function<void(Victim&)> make;
    // The cause sentence the user reads; empty when the action succeeds.
    std::string cause;
};

const char* actionName(Action action) { return action == Action::Almanac ? "Almanac" : "Fortune"; }

std::string describe(const ::testing::TestParamInfo<FaultCase>& info) {
    return std::string(actionName(info.param.action)) + "_" + info.param.name;
}

// Parameters as test listings show them.
void PrintTo(const FaultCase& fault, std::ostream* out) { *out << actionName(fault.action) << " " << fault.name; }
void PrintTo(Action action, std::ostream* out) { *out << actionName(action); }

const std::string kInUse = "数据库正被其他程序使用，请先关闭该软件后再升级。";
const std::string kReadOnly = "文件或所在文件夹是只读的，无法写入。请取消只读属性，或换用有写入权限的账户后再升级。";
const std::string kDamaged = "数据库文件已损坏或不完整，请重新安装该软件后再升级。";
const std::string kDiskFull = "磁盘空间不足，无法写入新的数据。请清理磁盘后再升级。";
const std::string kMismatch = "该软件的版本与本补丁不匹配，请重新安装该软件后再升级。";
const std::string kForeignFile = "文件旁有与本补丁的备份或临时文件同名的链接、管道或文件夹，为安全起见未作改动。请删除技术信息中列出的项目后再升级。";

std::vector<FaultCase> faultCases() {
    std::vector<FaultCase> cases;
    // States of the whole file: the same cause for both actions.
    std::vector<std::pair<std::string, std::pair<std::function<void(Victim&)>, std::string>>> wholeFile = {
        {"NotAnAccessFile", {notAccess, "这不是 Access 数据库文件，文件可能已损坏或被替换。请重新安装该软件后再升级。"}},
        {"Access97", {accessNinetySeven, "数据库是 Access 97 格式，本补丁只能升级 Access 2000–2003 格式的数据库。请安装该软件的新版本后再升级。"}},
        {"Access2007", {accessTwentySeven, "数据库是 Access 2007 或更新版本的格式，本补丁只能升级 Access 2000–2003 格式的数据库。"}},
        {"Truncated", {truncated, kDamaged}},
        {"DamagedTableDefinition", {damagedTableDefinition, kDamaged}},
        {"CutShortAtAPageBoundary", {cutShortAtAPageBoundary, kDamaged}},
        {"ZeroedDataPage", {zeroedDataPage, kDamaged}},
        {"ZeroedIndexPage", {zeroedIndexPage, kDamaged}},
        {"UsageMapBitFlipped", {usageMapBitFlipped, kDamaged}},
        {"EncryptedPages", {encryptedPages, "数据库已加密，本补丁无法读写。请在 Access 中解密数据库后再升级。"}},
        {"DatabasePassword", {databasePassword, "数据库设有密码，本补丁无法打开。请在 Access 中撤销数据库密码后再升级。"}},
        {"OpenInTheProduct", {openInTheProduct, kInUse}},
        {"OpenInTheProductLockFileInCapitals", {openInTheProductUpperCase, kInUse}},
        {"HeldByAnotherCopyOfThePatch", {heldByAnotherPatch, kInUse}},
        {"ReadOnlyFile", {readOnlyFile, kReadOnly}},
#ifndef _WIN32
        // Windows ignores a folder's read-only attribute, and has no file size limit.
        {"ReadOnlyFolder", {readOnlyFolder, kReadOnly}},
        {"DiskFullWhileKeepingTheBackup", {diskFullWhileKeepingTheBackup, kDiskFull}},
        {"DiskFullWhileWritingTheNewFile", {diskFullWhileWritingTheNewFile, kDiskFull}},
        {"LockedByAnotherProcess", {lockedByAnotherProcess, kInUse}},
        {"HardLinkAtBackup", {hardLinkAtTheBackup, kForeignFile}},
#endif
    };
    const std::pair<const char*, const char*> sideFiles[] = {
        {".jet-new", "Replacement"}, {".jet-lock", "WriterLock"}, {".bak", "Backup"}, {".bak.partial", "PartialBackup"}};
    const std::vector<std::pair<Obstacle, const char*>> obstacles = {
#ifndef _WIN32
        // Links need privileges on Windows, and FIFOs do not exist there.
        {Obstacle::LinkToAFile, "LinkToAFile"}, {Obstacle::DanglingLink, "DanglingLink"}, {Obstacle::Fifo, "Fifo"},
#endif
        {Obstacle::Folder, "Folder"}};
    for (const auto& [suffix, sideName] : sideFiles)
        for (const auto& [obstacle, obstacleName] : obstacles)
            wholeFile.push_back({std::string(obstacleName) + "At" + sideName, {obstacleAt(suffix, obstacle), kForeignFile}});
    for (const auto& [name, state] : wholeFile)
        for (const Action action : {Action::Almanac, Action::Fortune}) cases.push_back({name, action, state.first, state.second});

    // The fortune file holds long values; the almanac's holds none.
    cases.push_back({"ZeroedLongValuePage", Action::Fortune, zeroedLongValuePage, kDamaged});

    // States of the table each action writes.
    cases.push_back({"TableMissing", Action::Almanac, tableMissing, "缺少数据表 huangdao，" + kMismatch});
    cases.push_back({"TableMissing", Action::Fortune, tableMissing, "缺少数据表 Bennian2011，" + kMismatch});
    cases.push_back({"ColumnMissing", Action::Almanac, columnMissing, "数据表 huangdao 缺少字段 ji，" + kMismatch});
    cases.push_back({"ColumnMissing", Action::Fortune, columnMissing, "数据表 Bennian2011 缺少字段 Liuyue，" + kMismatch});
    cases.push_back({"ColumnTooShort", Action::Almanac, columnTooShort, "新内容超出了数据表 huangdao 中字段 yi 的长度，" + kMismatch});
    cases.push_back({"ColumnTooShort", Action::Fortune, columnTooShort, "新内容超出了数据表 Bennian2011 中字段 Values 的长度，" + kMismatch});
    cases.push_back({"UniqueIndexOnChineseText", Action::Almanac, uniqueIndex,
                     "数据库用到了本补丁不支持的功能，无法写入。请联系客服。"});
    cases.push_back({"PrimaryKeyWithoutAutoNumber", Action::Almanac, primaryKeyWithoutAutoNumber,
                     "新内容不符合数据表 huangdao 的规则，无法写入。请联系客服。"});
    cases.push_back({"UniqueIndexOnAColumnLeftAlone", Action::Fortune, uniqueIndex, ""});
    cases.push_back({"FirstRowMissing", Action::Almanac, firstRowMissing, ""});
    cases.push_back({"FirstRowMissing", Action::Fortune, firstRowMissing, ""});
    return cases;
}

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override {
        for (const demo::InstalledFile& file : installation.files()) before[file.path] = fileBytes(file.path);
        victim.action = GetParam().action;
        victim.file = installation.path(victimDirectory(), victimFileName(victim.action));
        GetParam().make(victim);
        faulty = fileBytes(victim.file);
        folderBefore = folderListing(victim.file.parent_path());
    }
    void TearDown() override {
        victim.otherWriter.reset();
        if (victim.restore) victim.restore();
    }

    void run() {
        JetDatabaseOpener opener;
        ProductQuery query(opener, installation.installation());
        if (victim.action == Action::Almanac)
            almanac = runAlmanacUpgrade(almanacList(), query, {succeeded, failed}, feedback, victim.almanacProgress);
        else
            fortunes = runFortuneUpgrade(fortuneList(), query, feedback, victim.fortuneProgress);
        if (victim.restore) victim.restore();
        victim.restore = nullptr;
    }

    // Checks every other file: upgraded ones changed and kept their old
    // content as backup, the rest untouched and without a backup.
    void expectUpgraded(const std::set<fs::path>& upgraded) {
        for (const demo::InstalledFile& file : installation.files()) {
            if (file.path == victim.file) continue;
            if (upgraded.count(file.path)) {
                EXPECT_NE(fileBytes(file.path), before[file.path]) << file.path << " was not upgraded";
                EXPECT_EQ(fileBytes(backupPathFor(file.path)), before[file.path]) << file.path;
            } else {
                EXPECT_EQ(fileBytes(file.path), before[file.path]) << file.path << " was touched";
                EXPECT_FALSE(fs::exists(backupPathFor(file.path))) << file.path;
            }
        }
    }

    ThreeProducts installation;
    std::map<fs::path, Bytes> before;
    Victim victim;
    Bytes faulty;
    std::set<std::string> folderBefore;
    text::LineList succeeded, failed;  // Memo37, Memo38
    RecordingFeedback feedback;
    AlmanacUpgradeResult almanac;
    FortuneUpgradeResult fortunes;
};

TEST_P(FaultMatrix, TheUserIsToldTheCauseAndTheFaultyFileStaysAsItWas) {
    const FaultCase& fault = GetParam();
    run();
    ASSERT_EQ(feedback.messages.size(), 1u);
    const UserMessage& message = feedback.messages.front();
    RecordProperty("message", message.text);
    EXPECT_EQ(message.caption, kUpgradeCaption);
    const auto path = [&](const std::string& directory, const char* name) { return installation.path(directory, name); };
    const bool fails = !fault.cause.empty();
    if (victim.verify) victim.verify();

    if (fails) {
        EXPECT_EQ(fileBytes(victim.file), faulty) << "the faulty file changed";
        if (!folderBefore.count(text::utf8FromPath(backupPathFor(victim.file).filename()))) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(backupPathFor(victim.file)))) << "a failed upgrade left a backup";
        }
        EXPECT_EQ(folderListing(victim.file.parent_path()), folderBefore) << "the product's folder holds new files";
    }

    if (fault.action == Action::Almanac) {
        EXPECT_TRUE(almanac.upgraded);
        std::set<fs::path> upgraded{path(beforeDirectory(), "QorBirth.dll"), path(afterDirectory(), "QorBirth.dll")};
        if (fails) {
            EXPECT_EQ(message.icon, MessageIcon::Warning);
            const std::string line = "\n" + victimDirectory() + "：QorBirth.dll，" + fault.cause + "（技术信息：";
            EXPECT_EQ(message.text.rfind(std::string(kFailedDirectoriesHeading) + line, 0), 0u) << message.text;
            EXPECT_TRUE(message.text.ends_with("）\n" + std::string(kOthersSucceeded))) << message.text;
            EXPECT_EQ(failed.lines(), std::vector<std::string>{victimDirectory()});
            EXPECT_EQ(succeeded.lines(), (std::vector<std::string>{beforeDirectory(), afterDirectory()}));
            EXPECT_EQ(almanac.succeeded, 2u);
        } else {
            EXPECT_EQ(message, (UserMessage{std::string(kUpgradeCaption), std::string(kUpgradeSucceeded), MessageIcon::Information}));
            EXPECT_EQ(succeeded.count(), 3u);
            upgraded.insert(victim.file);
            EXPECT_EQ(jet::Database::open(text::utf8FromPath(victim.file)).readAllRows("huangdao").size(), content::almanacDayCount());
        }
        expectUpgraded(upgraded);
        for (const std::string& directory : succeeded.lines())
            EXPECT_EQ(jet::Database::open(text::utf8FromPath(path(directory, "QorBirth.dll"))).readAllRows("huangdao").size(),
                      content::almanacDayCount())
                << directory;
        return;
    }

    EXPECT_TRUE(fortunes.upgraded);
    if (fails) {
        EXPECT_EQ(message.icon, MessageIcon::Error);
        const std::string head = "升级中止。\n目录：" + victimDirectory() + "\n文件：Tgcode.dll\n原因：" + fault.cause + "（技术信息：";
        EXPECT_EQ(message.text.rfind(head, 0), 0u) << message.text;
        EXPECT_TRUE(message.text.ends_with("）\n此文件保持原样，未作任何改动。")) << message.text;
        ASSERT_TRUE(fortunes.failure.has_value());
        EXPECT_EQ(fortunes.failure->directory(), victimDirectory());
        // The action ends at the faulty file: the first product is upgraded, nothing after it.
        EXPECT_EQ(fortunes.fortuneBlocks, 1u);
        EXPECT_EQ(fortunes.horoscopeBlocks, 1u);
        expectUpgraded({path(beforeDirectory(), "Tgcode.dll"), path(beforeDirectory(), "QorFile.dll")});
    } else {
        EXPECT_EQ(message, (UserMessage{std::string(kUpgradeCaption), std::string(kUpgradeSucceeded), MessageIcon::Information}));
        EXPECT_FALSE(fortunes.failure.has_value());
        std::set<fs::path> upgraded{victim.file};
        for (const std::string* directory : {&beforeDirectory(), &victimDirectory(), &afterDirectory()})
            upgraded.insert({path(*directory, "Tgcode.dll"), path(*directory, "QorFile.dll")});
        expectUpgraded(upgraded);
        EXPECT_NE(fileBytes(victim.file), faulty);
    }
}

INSTANTIATE_TEST_SUITE_P(States, FaultMatrix, ::testing::ValuesIn(faultCases()), describe);

// The carried content cannot repeat a key the engine is able to index (see
// UniqueIndexOnChineseText above), so a repeated key is shown on the adapter.
TEST(JetAdapterCauses, ARepeatedKeyNamesTheColumnsOfTheUniqueIndex) {
    TemporaryPrefix prefix;
    const fs::path file = prefix.root() / "drive_c" / "QorFile.dll";
    jet::NewTable table{"mingpian", {{"code", jet::ColumnType::Text, 10}, {"nian", jet::ColumnType::Long}}, {}, {}};
    table.indexes.push_back({"CodeYear", {"code", "nian"}, false, true});
    demo::writeProductDatabase(file, {table});
    const Bytes old = fileBytes(file);

    JetDatabaseOpener opener;
    const auto database = opener.open(file);
    database->beginWork();
    const std::string insert = "insert into mingpian(code,nian) values (?,?)";
    database->execute(insert, {std::string("A"), std::int64_t{2024}});
    try {
        database->execute(insert, {std::string("A"), std::int64_t{2024}});
        FAIL() << "a repeated key was accepted";
    } catch (const ProductDatabaseFailure& failure) {
        EXPECT_EQ(failure.kind(), FailureKind::DuplicateKey);
        EXPECT_EQ(failure.table(), "mingpian");
        EXPECT_EQ(failure.column(), "code、nian");
        EXPECT_EQ(userCause(failure).rfind("数据表 mingpian 的字段 code、nian 不允许重复", 0), 0u) << userCause(failure);
        EXPECT_NE(failure.detail().find("CodeYear"), std::string::npos) << "the technical detail keeps the index name";
    }
    database->rollbackWork();
    EXPECT_EQ(fileBytes(file), old);
}

#ifndef _WIN32
// --- Killed during the commits ---------------------------------------------

// Runs one action to the end with its own query, as a new start of the patch would.
UserMessage runAction(Action action, const ThreeProducts& installation) {
    JetDatabaseOpener opener;
    ProductQuery query(opener, installation.installation());
    RecordingFeedback feedback;
    text::LineList succeeded, failed;
    if (action == Action::Almanac) runAlmanacUpgrade(almanacList(), query, {succeeded, failed}, feedback);
    else runFortuneUpgrade(fortuneList(), query, feedback);
    return feedback.messages.back();
}

class KilledDuringCommit : public ::testing::TestWithParam<Action> {
protected:
    void SetUp() override {
        for (const demo::InstalledFile& file : installation.files()) {
            before[file.path] = fileBytes(file.path);
            folders[file.path.parent_path()] = folderListing(file.path.parent_path());
        }
        // A complete run gives the new files and the steps of their replacement.
        jet::setReplaceProbe([this](const char* step) { steps.push_back(step); });
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(runAction(GetParam(), installation).text, kUpgradeSucceeded);
        runMicroseconds = static_cast<int>(
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
        jet::setReplaceProbe(nullptr);
        for (const demo::InstalledFile& file : installation.files())
            if (fileBytes(file.path) != before[file.path]) after[file.path] = fileBytes(file.path);
        ASSERT_EQ(after.size(), GetParam() == Action::Almanac ? 3u : 6u);
        restoreOldInstallation();
    }

    void restoreOldInstallation() {
        for (const auto& [folder, names] : folders)
            for (const std::string& name : folderListing(folder))
                if (!names.count(name)) fs::remove(folder / text::pathFromUtf8(name));
        for (const auto& [path, bytes] : before) writeBytes(path, bytes);
    }

    // Forks a child that runs the action and is killed: at replacement step
    // `killAtStep` (counted from 1), or by the parent after `delay`. Checks
    // what is left and that the next run completes. Returns the number of
    // files left new.
    std::size_t killChild(std::size_t killAtStep, int delayMicroseconds) {
        restoreOldInstallation();
        const pid_t child = fork();
        if (child == 0) {
            auto counter = std::make_shared<std::size_t>(0);
            jet::setReplaceProbe([counter, killAtStep](const char*) {
                if (++*counter == killAtStep) raise(SIGKILL);
            });
            runAction(GetParam(), installation);
            _exit(0);
        }
        if (delayMicroseconds >= 0) {
            usleep(static_cast<useconds_t>(delayMicroseconds));
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (killAtStep > 0) {
            EXPECT_TRUE(WIFSIGNALED(status)) << "the child was not killed at step " << killAtStep;
        }

        std::size_t leftNew = 0;
        for (const auto& [path, old] : before) {
            const Bytes left = fileBytes(path);
            const auto next = after.find(path);
            const bool isNew = next != after.end() && left == next->second;
            EXPECT_TRUE(left == old || isNew) << path << " is neither the old file nor the new one";
            if (isNew) {
                ++leftNew;
                EXPECT_EQ(fileBytes(backupPathFor(path)), old) << "an upgraded file without its backup: " << path;
            } else if (fs::exists(backupPathFor(path))) {
                EXPECT_EQ(fileBytes(backupPathFor(path)), old) << path;
            }
        }
        // The next start of the patch clears what the killed one left and upgrades the rest.
        EXPECT_EQ(runAction(GetParam(), installation).text, kUpgradeSucceeded);
        for (const auto& [path, old] : before) {
            const bool upgraded = after.count(path) > 0;
            EXPECT_EQ(fs::exists(backupPathFor(path)), upgraded) << path;
            if (upgraded) {
                EXPECT_EQ(fileBytes(backupPathFor(path)), old) << "the backup must stay the original file";
            }
        }
        for (const auto& [folder, names] : folders) {
            std::set<std::string> expected = names;
            for (const auto& [path, bytes] : after)
                if (path.parent_path() == folder) expected.insert(text::utf8FromPath(backupPathFor(path).filename()));
            EXPECT_EQ(folderListing(folder), expected) << folder;
        }
        return leftNew;
    }

    ThreeProducts installation;
    std::map<fs::path, Bytes> before, after;
    std::map<fs::path, std::set<std::string>> folders;
    std::vector<std::string> steps;
    int runMicroseconds = 0;
};

TEST_P(KilledDuringCommit, EveryFileIsOldOrNewAndTheNextRunCompletes) {
    // The rename of the first and of the last file and the step after each
    // (the last moment before and the first after a file changes), and random
    // steps besides.
    std::vector<std::size_t> renames;
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i] == "rename") renames.push_back(i + 1);
    ASSERT_FALSE(renames.empty());
    std::vector<std::size_t> points{renames.front(), renames.front() + 1, renames.back(), renames.back() + 1};
    std::mt19937 random(20240101);
    for (int extra = 0; extra < 3; ++extra) points.push_back(1 + random() % steps.size());
    std::size_t sawNew = 0;
    for (const std::size_t point : points) {
        SCOPED_TRACE("killed at step " + std::to_string(point) + " of " + std::to_string(steps.size()) + " (" + steps[point - 1] + ")");
        sawNew += killChild(point, -1);
    }
    EXPECT_GT(sawNew, 0u) << "no kill came after a rename";
    // And at random moments, whatever the child is doing (a backup copy too).
    for (int round = 0; round < 2; ++round) killChild(0, static_cast<int>(random() % runMicroseconds));
}

INSTANTIATE_TEST_SUITE_P(Actions, KilledDuringCommit, ::testing::Values(Action::Almanac, Action::Fortune),
                         [](const ::testing::TestParamInfo<Action>& info) { return std::string(actionName(info.param)); });
#endif

}  // namespace
