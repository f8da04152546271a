#include "information_panel.h"

#include "ui/vendor_contacts.h"

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The price lists keep their column padding, trailing blanks included.
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

QStringList informationPanelLines() {
    using namespace ui;
    QStringList lines;
    lines << QStringLiteral("感谢您一直以来对我们软件的支持！")
          << QStringLiteral("升级时如遇问题，请联系客服QQ：")
          << fromUtf8(kFirstSupportAccount) + QStringLiteral(" 或 ") + fromUtf8(kSecondSupportAccount) +
                 QStringLiteral("，安装、")
          << QStringLiteral("注册、升级软件都可以联系我们。");
    for (const char* line : kPriceLines) lines << QString::fromUtf8(line);
    lines << QStringLiteral("支付宝") + fromUtf8(kPaymentAccount) + QStringLiteral(" 电话") +
                 fromUtf8(kServicePhone);
    return lines;
}
