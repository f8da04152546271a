// Opening checks: each kind of unsuitable file gives its own error kind and a message naming
// the file; a good file opens.
#include <cstring>

#include "jet/create/database_builder.h"
#include "jet/format/header_page.h"
#include "jet/tests/test_support.h"

namespace jet {
namespace {

using testing::TempDir;

class HeaderChecks : public ::testing::Test {
protected:
    void SetUp() override { image_ = buildDatabaseImage("new.mdb", {}); }

    // Opens a changed copy and returns the error it raises.
    Error openChanged(const std::vector<std::uint8_t>& image) {
        const std::string path = dir_.file("Tgcode.dll");
        testing::writeBytes(path, image);
        try {
            Database::open(path);
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
            return error;
        }
        ADD_FAILURE() << "file opened although it should have been refused";
        return Error(ErrorKind::Io, "", "", "");
    }

    // Changes a field inside the masked part of the header.
    void patchMasked(std::size_t offset, const std::vector<std::uint8_t>& bytes) {
        toggleHeaderMask(image_.data());
        std::memcpy(image_.data() + offset, bytes.data(), bytes.size());
        toggleHeaderMask(image_.data());
    }

    TempDir dir_;
    std::vector<std::uint8_t> image_;
};

TEST_F(HeaderChecks, GoodFileOpensWhateverItsExtension) {
    const std::string path = dir_.file("QorFile.dll");
    testing::writeBytes(path, image_);
    const Database database = Database::open(path);
    EXPECT_EQ(database.header().sortOrder, 1033);
    EXPECT_TRUE(database.tableNames().empty());
}

TEST_F(HeaderChecks, RefusesEachUnsuitableKindDistinctly) {
    std::vector<std::uint8_t> text(8192, 'x');
    EXPECT_EQ(openChanged(text).kind(), ErrorKind::NotAccess);

    auto jet3 = image_;
    jet3[0x14] = 0x00;
    EXPECT_EQ(openChanged(jet3).kind(), ErrorKind::Jet3);

    auto ace = image_;
    ace[0x14] = 0x02;
    EXPECT_EQ(openChanged(ace).kind(), ErrorKind::Ace);
    auto aceName = image_;
    std::memcpy(aceName.data() + 4, "Standard ACE DB", 15);
    EXPECT_EQ(openChanged(aceName).kind(), ErrorKind::Ace);

    auto truncated = image_;
    truncated.resize(truncated.size() - 100);
    const Error size = openChanged(truncated);
    EXPECT_EQ(size.kind(), ErrorKind::BadFileSize);
    EXPECT_NE(size.cause().find("4096"), std::string::npos);

    patchMasked(0x3E, {0x12, 0x34, 0x56, 0x78});
    EXPECT_EQ(openChanged(image_).kind(), ErrorKind::EncryptedPages);
}

TEST_F(HeaderChecks, DetectsDatabasePasswordUnderTheDateMask) {
    toggleHeaderMask(image_.data());
    image_[0x42] ^= 'a';   // first password character, stored XOR-ed with the date mask
    toggleHeaderMask(image_.data());
    const Error error = openChanged(image_);
    EXPECT_EQ(error.kind(), ErrorKind::DatabasePassword);
    EXPECT_NE(error.cause().find("password"), std::string::npos);
}

TEST_F(HeaderChecks, MissingFileIsAnInputError) {
    try {
        Database::open(dir_.file("absent.mdb"));
        FAIL() << "opened a missing file";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Io);
        EXPECT_NE(std::string(error.what()).find("absent.mdb"), std::string::npos);
    }
}

TEST(HeaderSamples, AccessMadeFilesPassAndReportTheirSortOrder) {
    JET_REQUIRE_SAMPLES();
    EXPECT_EQ(Database::open(testing::samplePath("jackcess-adox_jet4.mdb")).header().sortOrder, 1033);
    const Database chinese = Database::open(testing::samplePath("zblogasp-data-2013.mdb"));
    EXPECT_EQ(chinese.header().sortOrder, 2052);
    EXPECT_EQ(chinese.header().codePage, 936);
}

}  // namespace
}  // namespace jet
