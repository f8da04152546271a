// The windows as designed: captions, places, tab orders, fonts, colours and
// the information text, checked once against the description every
// front-end builds from.

#include "ui/window_description.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

using namespace ui;

struct ButtonRow {
    const char* name;
    const char* caption;
    Rect rect;
    int tabOrder;
    Action action;
};

const ButtonRow kMainButtons[] = {
    {"Button1", "算命软件升级", {311, 15, 93, 25}, 2, Action::FortuneUpgrade},
    {"Button2", "算命手机版", {414, 15, 91, 25}, 3, Action::OpenWebPage},
    {"Button8", "黄道数据升级", {311, 68, 93, 25}, 9, Action::AlmanacUpgrade},
    {"Button10", "风水手机版", {414, 68, 91, 25}, 10, Action::OpenWebPage},
    {"Button5", "客户QQ1", {311, 121, 93, 25}, 11, Action::OpenChat},
    {"Button11", "合婚手机版", {414, 121, 91, 25}, 12, Action::OpenWebPage},
    {"Button3", "客户QQ2", {311, 173, 93, 25}, 13, Action::OpenChat},
    {"Button12", "看日子手机版", {414, 173, 91, 25}, 14, Action::OpenWebPage},
    {"Button7", "官方网站", {311, 226, 93, 25}, 15, Action::OpenWebPage},
    {"Button13", "公司起名手机版", {414, 226, 91, 25}, 16, Action::OpenWebPage},
    {"Button6", "人工起名", {311, 279, 93, 25}, 17, Action::ShowNamingDialog},
    {"Button14", "宝宝取名手机版", {414, 279, 91, 25}, 18, Action::OpenWebPage},
    {"Button15", "新购买付款方式", {311, 332, 93, 25}, 19, Action::ShowPaymentDialog},
    {"Button4", "退出", {414, 332, 93, 25}, 20, Action::CloseWindow},
};

const Font kWindowFont{"宋体", 12, false, 134};

// What a front-end relies on when it walks the list: unique names, parents
// listed before their children, every control in the window font's charset.
void expectWalkable(const WindowDescription& window) {
    std::set<std::string> seen;
    for (const ControlDescription& control : window.controls) {
        EXPECT_TRUE(control.parent.empty() || seen.contains(control.parent))
            << control.name << " comes before its parent " << control.parent;
        EXPECT_TRUE(seen.insert(control.name).second) << "two controls named " << control.name;
        EXPECT_EQ(control.font.face, "宋体") << control.name;
        EXPECT_EQ(control.font.charset, kGb2312Charset) << control.name;
        EXPECT_EQ(control.action == Action::OpenWebPage || control.action == Action::OpenChat ||
                      control.action == Action::OpenPaymentLogin,
                  !control.url.empty())
            << control.name;
    }
    // Tab orders count within each parent, as in the window design.
    std::set<std::pair<std::string, int>> tabOrders;
    for (const ControlDescription& control : window.controls)
        if (control.tabOrder >= 0) {
            EXPECT_TRUE(tabOrders.insert({control.parent, control.tabOrder}).second)
                << "tab order " << control.tabOrder << " given twice, " << control.name;
        }
}

}  // namespace

TEST(MainWindowDescription, WindowAndButtonsAsDesigned) {
    const WindowDescription& window = mainWindow();
    EXPECT_EQ(window.className, "TForm1");
    EXPECT_EQ(window.caption, "算命软件八字软件黄道数据升级补丁2024");
    EXPECT_EQ(applicationTitle(), "算命软件升级补丁2022");
    EXPECT_EQ(window.size, (Size{693, 416}));
    EXPECT_EQ(window.sizeKind, SizeKind::Outer);
    EXPECT_EQ(window.borderIcons, (BorderIcons{.systemMenu = true, .minimise = true, .maximise = false}));
    EXPECT_TRUE(window.centred);
    EXPECT_EQ(window.font, kWindowFont);
    EXPECT_EQ(window.background, Colour::named(SystemColour::ButtonFace));
    EXPECT_EQ(window.textColour, Colour::named(SystemColour::WindowText));
    expectWalkable(window);

    for (const ButtonRow& row : kMainButtons) {
        const ControlDescription& button = window.control(row.name);
        EXPECT_EQ(button.kind, ControlKind::Button) << row.name;
        EXPECT_EQ(button.caption, row.caption) << row.name;
        EXPECT_EQ(button.rect, row.rect) << row.name;
        EXPECT_EQ(button.tabOrder, row.tabOrder) << row.name;
        EXPECT_EQ(button.action, row.action) << row.name;
        EXPECT_TRUE(button.visible) << row.name;
        EXPECT_TRUE(button.parent.empty()) << row.name;
        const bool upgrade = row.action == Action::FortuneUpgrade || row.action == Action::AlmanacUpgrade;
        EXPECT_EQ(button.font.bold, upgrade) << row.name;
        EXPECT_EQ(button.font.pixelHeight, 12) << row.name;
        if (upgrade) {
            EXPECT_EQ(button.textColour, kRed) << row.name;
        }
    }
    EXPECT_EQ(window.control("Button15").textColour, kNavy);
    EXPECT_FALSE(window.control("Button2").textColour.has_value()) << "the usual button text";

    EXPECT_EQ(window.control("Button7").url, "http://www.quelvor.example");
    EXPECT_EQ(window.control("Button14").url, "http://www.quelvor.example/Chinese/Shou6.htm");
    EXPECT_EQ(window.control("Button3").url,
              "tencent://message/?uin=1000000002&Site=Brannoc%E8%BD%AF%E4%BB%B6&Menu=yes");

    const ControlDescription& image1 = window.control("Image1");
    const ControlDescription& image2 = window.control("Image2");
    EXPECT_EQ(image1.rect, (Rect{522, 2, 147, 180}));
    EXPECT_EQ(image2.rect, (Rect{522, 188, 147, 180}));
    EXPECT_EQ(image1.picture, PictureId::Contact);
    EXPECT_EQ(image2.picture, PictureId::Payment);
    EXPECT_EQ(image1.tabOrder, -1);

    EXPECT_THROW(window.control("Button99"), std::out_of_range);
    EXPECT_EQ(window.find("Button99"), nullptr);
}

TEST(MainWindowDescription, HiddenControlsKeepTheirTabOrders) {
    const WindowDescription& window = mainWindow();
    const std::pair<const char*, int> hidden[] = {{"CBhuangdao", 1}, {"Memo37", 4}, {"ComboBox1", 5},
                                                  {"Memo38", 6},     {"Button9", 7}, {"CBhuangdao2", 8}};
    for (const auto& [name, tabOrder] : hidden) {
        const ControlDescription& control = window.control(name);
        EXPECT_FALSE(control.visible) << name;
        EXPECT_EQ(control.tabOrder, tabOrder) << name;
        EXPECT_LT(control.rect.left, 0) << name << " sits partly off the left edge";
    }
    EXPECT_EQ(window.control("Button9").caption, "黄道数据升级2");
    EXPECT_EQ(window.control("Button9").action, Action::SecondAlmanacUpgrade);

    // Tab orders 0..20 are all taken, once each.
    std::set<int> orders;
    for (const ControlDescription& control : window.controls)
        if (control.tabOrder >= 0) orders.insert(control.tabOrder);
    EXPECT_EQ(orders.size(), 21u);
    EXPECT_EQ(*orders.rbegin(), 20);
}

TEST(MainWindowDescription, InformationPanelHoldsItsTwentyThreeLines) {
    const ControlDescription& memo = mainWindow().control("Memo39");
    EXPECT_EQ(memo.kind, ControlKind::MultiLineText);
    EXPECT_EQ(memo.rect, (Rect{4, 7, 293, 362}));
    EXPECT_EQ(memo.tabOrder, 0);
    EXPECT_EQ(memo.background, Colour::named(SystemColour::GradientActiveCaption));
    EXPECT_EQ(memo.font, kWindowFont);
    EXPECT_TRUE(memo.readOnly);
    EXPECT_FALSE(memo.scrollBars);

    const std::vector<std::string>& lines = memo.lines;
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_TRUE(lines[3].ends_with("件都可以联系我们。"));
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "特别推荐组合(安卓手机平板版全套995元)：");
    const char* const firstList[] = {
        "  1. 算命软件                注册价格：298  ", "  2. 风水大师                注册价格：298  ",
        "  3. 八字合婚软件            注册价格：198",   "  4. 公司起名软件            注册价格：98  ",
        "  5. 黄道吉日软件            注册价格：68",    "  6. 宝宝起名软件            注册价格：35",
    };
    const char* const secondList[] = {
        "  1. 算命软件                注册价格：198  ", "  2. 八字合婚配软件          注册价格：198  ",
        "  3. 风水软件                注册价格：298",   "  4. 公司起名软件            注册价格：98  ",
        "  5. 黄道吉日择日软件        注册价格：50",    "  6. 宝宝起名软件            注册价格：35",
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(lines[6 + i], firstList[i]);
        EXPECT_EQ(lines[14 + i], secondList[i]);
        // In a font with half-width Latin characters every price starts in
        // the same column.
        const std::string& line = lines[6 + i];
        EXPECT_EQ(textExtentAt12Pixels(line.substr(0, line.find("注册价格"))).width, 174) << line;
    }
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "特别推荐组合(电脑版全套870元)：");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[21], "付款方式：");
    EXPECT_NE(lines[22].find("pay@quelvor.example"), std::string::npos);
}

TEST(NamingDialogDescription, PriceListAsDesigned) {
    const WindowDescription& window = namingDialog();
    EXPECT_EQ(window.className, "TFrm_servers");
    EXPECT_EQ(window.caption, "人工起名服务");
    EXPECT_EQ(window.size, (Size{420, 273}));
    EXPECT_EQ(window.sizeKind, SizeKind::Client);
    EXPECT_EQ(window.borderIcons, (BorderIcons{.systemMenu = true, .minimise = false, .maximise = false}));
    EXPECT_TRUE(window.centred);
    EXPECT_EQ(window.font, kWindowFont);
    EXPECT_EQ(window.background, Colour::named(SystemColour::ButtonHighlight));
    expectWalkable(window);

    const ControlDescription& panel = window.control("Panel1");
    EXPECT_EQ(panel.kind, ControlKind::Panel);
    EXPECT_EQ(panel.rect, (Rect{0, 0, 420, 273}));
    EXPECT_EQ(panel.background, Colour::named(SystemColour::Window));
    EXPECT_EQ(panel.border, Border::FlatRounded);

    const Rect pictures[] = {{24, 12, 41, 41}, {24, 64, 41, 41}, {24, 116, 41, 41}, {24, 169, 41, 41}, {23, 220, 41, 41}};
    for (int i = 0; i < 5; ++i) {
        const ControlDescription& image = window.control("Image" + std::to_string(i + 1));
        EXPECT_EQ(image.rect, pictures[i]);
        EXPECT_EQ(image.parent, "Panel1");
        EXPECT_EQ(image.picture, PictureId::NamingService);
    }

    const std::tuple<int, const char*, bool> labels[] = {
        {14, "起名说明:", true},
        {31, "人工起名根据八字五行三才五格进行分析，起名时间一般为1天到5天，每个姓氏起名难易度不一样。", false},
        {64, "经济套餐：200元", true},
        {83, "起10个名字待选择。", false},
        {116, "标准套餐：300元", true},
        {135, "起15个名字待选择，3个详细名字分析。", false},
        {168, "豪华套餐：500元", true},
        {187, "起20个名字待选择，5个详细名字分析。", false},
        {225, "贵族套餐：888元", true},
        {244, "起25个名字待选择，10个详细名字分析，终身命运分析。", false},
    };
    std::vector<const ControlDescription*> found;
    for (const ControlDescription& control : window.controls)
        if (control.kind == ControlKind::Label) found.push_back(&control);
    ASSERT_EQ(found.size(), std::size(labels));
    for (std::size_t i = 0; i < found.size(); ++i) {
        const auto& [top, text, heading] = labels[i];
        const ControlDescription& label = *found[i];
        EXPECT_EQ(label.caption, text);
        EXPECT_EQ(label.rect.top, top) << text;
        EXPECT_GE(label.rect.left, 69) << text;
        EXPECT_LE(label.rect.left, 72) << text;
        EXPECT_EQ(label.font.bold, heading) << text;
        EXPECT_EQ(label.textColour == kNavy, heading) << text;
    }
    const ControlDescription& explanation = *found[1];
    EXPECT_TRUE(explanation.wordWrap);
    EXPECT_EQ(explanation.rect.width, 318);
    EXPECT_EQ(explanation.rect.height, 24);
    EXPECT_EQ(explanation.textColour, kBlack);
    EXPECT_EQ(found[2]->rect, (Rect{70, 64, 90, 12})) << "sized to 经济套餐：200元";
}

TEST(PaymentDialogDescription, BothPaymentWaysAsDesigned) {
    const WindowDescription& window = paymentDialog();
    EXPECT_EQ(window.className, "TFrmFukuan");
    EXPECT_EQ(window.caption, "付款方式");
    EXPECT_EQ(window.size, (Size{663, 294}));
    EXPECT_EQ(window.sizeKind, SizeKind::Outer);
    EXPECT_EQ(window.borderIcons, (BorderIcons{.systemMenu = true, .minimise = true, .maximise = false}));
    EXPECT_EQ(window.background, Colour::named(SystemColour::ButtonFace));
    EXPECT_EQ(window.font, kWindowFont);
    expectWalkable(window);

    const ControlDescription& pages = window.control("PageControl1");
    EXPECT_EQ(pages.kind, ControlKind::TabControl);
    EXPECT_EQ(pages.rect.left, -6);
    EXPECT_EQ(pages.rect.top, -17);
    EXPECT_TRUE(pages.tabStripHidden);
    EXPECT_EQ(window.control("TabSheet1").background, kWhite);

    const ControlDescription& bankBox = window.control("GroupBox1");
    EXPECT_EQ(bankBox.caption, "银行付款购买(如自己不会支付可以让朋友或家人帮忙支付)");
    EXPECT_EQ(bankBox.rect, (Rect{16, 8, 633, 109}));
    const ControlDescription& onlineBox = window.control("GroupBox2");
    EXPECT_EQ(onlineBox.caption, "支付宝或微信转款购买(立即到账)");
    EXPECT_EQ(onlineBox.rect, (Rect{16, 128, 633, 121}));

    const int bankRows[] = {22, 42, 61, 81};
    for (int i = 0; i < 4; ++i) {
        const ControlDescription& bank = window.control("LabelBank" + std::to_string(i + 1));
        EXPECT_EQ(bank.parent, "GroupBox1");
        EXPECT_EQ(bank.rect.top, bankRows[i]);
        EXPECT_EQ(bank.textColour, kBlack);
        EXPECT_NE(bank.caption.find("：  收款人："), std::string::npos) << bank.caption;
        EXPECT_NE(bank.caption.find("   帐号：6200 0000 0000 000"), std::string::npos) << bank.caption;
    }
    EXPECT_EQ(window.control("LabelOnlineAccount").rect.top, 24);
    EXPECT_EQ(window.control("LabelNotice").caption, "注意：付款时把联系QQ或电话或电子邮件和用户码填写到付款说明里面。");
    EXPECT_EQ(window.control("LabelNotice").rect.top, 47);
    EXPECT_EQ(window.control("LabelMessenger").rect.top, 87);

    const ControlDescription& copy = window.control("RzBitBtn19");
    const ControlDescription& login = window.control("RzBitBtn17");
    EXPECT_EQ(copy.caption, "复制支付宝帐号");
    EXPECT_EQ(copy.rect, (Rect{333, 11, 108, 26}));
    EXPECT_EQ(copy.action, Action::CopyPaymentAccount);
    EXPECT_EQ(login.caption, "马上登录支付宝转账付款");
    EXPECT_EQ(login.rect, (Rect{449, 11, 167, 27}));
    EXPECT_EQ(login.action, Action::OpenPaymentLogin);
    EXPECT_EQ(login.url, "https://www.payservice.example/login/index.htm");
    EXPECT_TRUE(login.handCursor);
    EXPECT_FALSE(copy.handCursor);
    EXPECT_EQ(login.picture, PictureId::PaymentLogin);
    for (const ControlDescription* button : {&copy, &login}) {
        EXPECT_EQ(button->parent, "GroupBox2");
        EXPECT_EQ(button->background, Colour::rgb(0xF4, 0xF4, 0xF0)) << "Windows colour value 15791348";
        EXPECT_EQ(button->frameColour, Colour::rgb(0x8E, 0x8F, 0x91)) << "Windows colour value 9539470";
        EXPECT_TRUE(button->hotTrack);
    }

    const ControlDescription& account = window.control("RzZhifubao");
    EXPECT_EQ(account.kind, ControlKind::Edit);
    EXPECT_EQ(account.rect, (Rect{126, 22, 112, 20}));
    EXPECT_FALSE(account.visible);
    EXPECT_TRUE(account.readOnly);
    EXPECT_EQ(account.maxLength, 200);
    EXPECT_EQ(account.caption, "pay@quelvor.example");
}
