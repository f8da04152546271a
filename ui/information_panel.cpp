#include "information_panel.h"

#include "vendor_contacts.h"

namespace ui {
namespace {

// The price lists keep their column padding, trailing blanks included: in a
// font whose Latin characters are half as wide as its Chinese ones, the
// prices line up in one column.
const char* const kPriceLines[] = {
    "",
    "特别推荐组合(安卓手机平板版全套995元)：",
    "  1. 算命软件                注册价格：298  ",
    "  2. 风水大师                注册价格：298  ",
    "  3. 八字合婚软件            注册价格：198",
    "  4. 公司起名软件            注册价格：98  ",
    "  5. 黄道吉日软件            注册价格：68",
    "  6. 宝宝起名软件            注册价格：35",
    "",
    "特别推荐组合(电脑版全套870元)：",
    "  1. 算命软件                注册价格：198  ",
    "  2. 八字合婚配软件          注册价格：198  ",
    "  3. 风水软件                注册价格：298",
    "  4. 公司起名软件            注册价格：98  ",
    "  5. 黄道吉日择日软件        注册价格：50",
    "  6. 宝宝起名软件            注册价格：35",
    "",
    "付款方式：",
};

}  // namespace

std::vector<std::string> informationPanelLines() {
    std::vector<std::string> lines = {
        "感谢您一直以来对我们软件的支持！",
        "升级时如遇问题，请联系客服QQ：",
        std::string(kFirstSupportAccount) + " 或 " + std::string(kSecondSupportAccount) + "，安装、",
        "注册、升级软件都可以联系我们。",
    };
    lines.insert(lines.end(), std::begin(kPriceLines), std::end(kPriceLines));
    lines.push_back("支付宝" + std::string(kPaymentAccount) + " 电话" + std::string(kServicePhone));
    return lines;
}

}  // namespace ui
