#include "catalogue.h"

#include "text/text_lines.h"

#include <initializer_list>
#include <stdexcept>

namespace upgrade {
namespace {

// Vendor folders of the long shape ("<drive>:\Program Files\<vendor>\<product>")
// and root folders of the short shape ("D:\<root>\<product>").
constexpr std::string_view kFirstVendor = "Quelvor软件";
constexpr std::string_view kSecondVendor = "Brannoc软件";
constexpr std::string_view kFirstRoot = "quelvorsoft";
constexpr std::string_view kSecondRoot = "brannocsoft";

// Products are listed on every drive they may be installed on, D first.
constexpr std::string_view kAllDrives = "DCEF";
constexpr std::string_view kTwoDrives = "DC";
constexpr std::string_view kDriveD = "D";

struct Product {
    std::string_view vendor;
    std::string_view folder;
    std::string_view drives;
};

std::string longShape(char drive, std::string_view vendor, std::string_view folder) {
    std::string row(1, drive);
    row += ":\\Program Files\\";
    row += vendor;
    row += '\\';
    row += folder;
    return row;
}

void appendProducts(std::vector<std::string>& rows, std::initializer_list<Product> products) {
    for (const Product& p : products)
        for (char drive : p.drives) rows.push_back(longShape(drive, p.vendor, p.folder));
}

// The 32 products shared by the fortune list and the almanac list.
void appendFortuneProducts(std::vector<std::string>& rows) {
    appendProducts(rows, {
        {kFirstVendor, "算命大师正式版", kAllDrives},
        {kFirstVendor, "八字算命专家正式版", kAllDrives},
        {kFirstVendor, "命理算命系统正式版", kAllDrives},
        {kFirstVendor, "周易算命正式版", kAllDrives},
        {kSecondVendor, "天机算命软件正式版", kAllDrives},
        {kSecondVendor, "八字算命软件正式版", kAllDrives},
        {kSecondVendor, "电脑算命软件正式版", kAllDrives},
        {kSecondVendor, "八字排盘算命正式版", kAllDrives},
    });
}

constexpr std::string_view kMarriageProduct = "八字合婚软件正式版";
constexpr std::string_view kSecondMarriageProduct = "姻缘合婚大师正式版";
constexpr std::string_view kFengShuiSecrets = "风水秘笈正式版";
constexpr std::string_view kEnhancedNaming = "起名软件增强版";

std::vector<std::string> buildFortuneRows() {
    std::vector<std::string> rows;
    appendFortuneProducts(rows);
    appendProducts(rows, {
        {kFirstVendor, kMarriageProduct, kTwoDrives},
        {kFirstVendor, kSecondMarriageProduct, kTwoDrives},
    });
    return rows;
}

std::vector<std::string> buildAlmanacRows() {
    std::vector<std::string> rows;
    appendFortuneProducts(rows);
    appendProducts(rows, {
        {kSecondVendor, "风水大师正式版", kAllDrives},
        {kSecondVendor, "宝宝起名软件2012版", kAllDrives},
        {kSecondVendor, "姓名测试打分2012版", kAllDrives},
        {kSecondVendor, "宝宝起名正式版", kAllDrives},
        {kFirstVendor, kEnhancedNaming, kAllDrives},
        {kFirstVendor, "八字起名正式版", kAllDrives},
        {kFirstVendor, kFengShuiSecrets, kAllDrives},
        {kFirstVendor, "黄道吉日择日正式版", kAllDrives},
        {kFirstVendor, "风水命理大师正式版", kDriveD},
        {kFirstVendor, "面相大师正式版", kDriveD},
        // The feng-shui secrets and the enhanced naming product are listed a
        // second time; they are visited (and upgraded) twice per run.
        {kFirstVendor, kFengShuiSecrets, kDriveD},
        {kFirstVendor, "家居风水正式版", kDriveD},
        {kFirstVendor, kEnhancedNaming, kDriveD},
        {kFirstVendor, "手相大师正式版", kDriveD},
        {kFirstVendor, "阳宅风水正式版", kDriveD},
        {kFirstVendor, "阴宅风水正式版", kDriveD},
        {kSecondVendor, "面相手相正式版", kDriveD},
        {kSecondVendor, "宝宝起名测名正式版", kTwoDrives},
        {kSecondVendor, "八字宝宝起名正式版", kAllDrives},
        {kSecondVendor, "公司起名正式版", kAllDrives},
        {kSecondVendor, "品牌商标起名正式版", kAllDrives},
        {kSecondVendor, "姓名打分正式版", kAllDrives},
        {kFirstVendor, kSecondMarriageProduct, kAllDrives},
        {kFirstVendor, kMarriageProduct, kAllDrives},
        {kFirstVendor, "男孩女孩起名正式版", kAllDrives},
        {kFirstVendor, "企业起名正式版", kAllDrives},
        {kFirstVendor, "店铺起名正式版", kAllDrives},
        {kFirstVendor, "阳宅阴宅家居风水正式版", kAllDrives},
        {kSecondVendor, "风水罗盘大师正式版", kAllDrives},
    });
    return rows;
}

std::vector<std::string> buildSecondAlmanacRows() {
    struct ShortRow {
        std::string_view root;
        std::string_view folder;
    };
    static constexpr ShortRow kRows[] = {
        {kSecondRoot, "黄道择日正式版"},
        {kSecondRoot, "周易预测正式版"},
        {kSecondRoot, "风水大师正式版"},
        {kSecondRoot, "八字排盘算命正式版"},
        {kSecondRoot, "宝宝起名测名正式版"},
        {kSecondRoot, "八字宝宝起名正式版"},
        {kSecondRoot, "公司起名正式版"},
        {kSecondRoot, "品牌商标起名正式版"},
        {kSecondRoot, "姓名打分正式版"},
        {kFirstRoot, "周易算命正式版"},
        {kFirstRoot, "八字起名正式版"},
        {kFirstRoot, kMarriageProduct},
        {kFirstRoot, "八字算命专家正式版"},
        {kFirstRoot, kFengShuiSecrets},
        {kFirstRoot, "黄道吉日择日正式版"},
        {kFirstRoot, "男孩女孩起名正式版"},
        {kFirstRoot, "企业起名正式版"},
        {kFirstRoot, "算命大师正式版"},
    };
    std::vector<std::string> rows;
    for (const ShortRow& r : kRows) {
        std::string row = "D:\\";
        row += r.root;
        row += '\\';
        row += r.folder;
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

CatalogueList::CatalogueList(std::vector<std::string> rows) : rows_(std::move(rows)) {}

std::string CatalogueList::entry(std::size_t i) const {
    if (i >= rows_.size())
        throw std::out_of_range("catalogue row " + std::to_string(i) + " of " + std::to_string(rows_.size()));
    return std::string(text::trimBlanks(rows_[i]));
}

const CatalogueList& fortuneList() {
    static const CatalogueList list(buildFortuneRows());
    return list;
}

const CatalogueList& almanacList() {
    static const CatalogueList list(buildAlmanacRows());
    return list;
}

const CatalogueList& secondAlmanacList() {
    static const CatalogueList list(buildSecondAlmanacRows());
    return list;
}

}  // namespace upgrade
