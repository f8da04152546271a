// TForm1: the main window with the two upgrade buttons, the link and dialog
// buttons, the information panel and two pictures; hidden, the catalogue
// lists, the logs and the second almanac button.

#include "control_factory.h"
#include "information_panel.h"
#include "links.h"
#include "window_description.h"

namespace ui {
namespace {

using factory::button;

constexpr int kLeftColumn = 311;
constexpr int kRightColumn = 414;
constexpr int kRows[] = {15, 68, 121, 173, 226, 279, 332};
constexpr int kButtonHeight = 25;

Rect left(int row) {
    return {kLeftColumn, kRows[row], 93, kButtonHeight};
}
Rect right(int row, int width = 91) {
    return {kRightColumn, kRows[row], width, kButtonHeight};
}

ControlDescription informationPanel() {
    ControlDescription memo;
    memo.name = "Memo39";
    memo.kind = ControlKind::MultiLineText;
    memo.rect = {4, 7, 293, 362};
    memo.font = windowFont();
    memo.background = Colour::named(SystemColour::GradientActiveCaption);
    memo.tabOrder = 0;
    memo.readOnly = true;
    memo.scrollBars = false;
    memo.lines = informationPanelLines();
    return memo;
}

// Hidden controls sit partly off the left edge of the window and are never shown.
ControlDescription hidden(std::string name, ControlKind kind, Rect rect, int tabOrder) {
    ControlDescription control;
    control.name = std::move(name);
    control.kind = kind;
    control.rect = rect;
    control.font = windowFont();
    control.visible = false;
    control.tabOrder = tabOrder;
    if (kind == ControlKind::MultiLineText) control.readOnly = true;
    return control;
}

void makeUpgradeButton(ControlDescription& control) {
    control.font.bold = true;
    control.textColour = kRed;
}

WindowDescription describeMainWindow() {
    WindowDescription window;
    window.name = "Form1";
    window.className = "TForm1";
    window.caption = "算命软件八字软件黄道数据升级补丁2024";
    window.size = {693, 416};
    window.sizeKind = SizeKind::Outer;
    window.borderIcons = {.systemMenu = true, .minimise = true, .maximise = false};
    window.centred = true;
    window.font = windowFont();
    window.background = Colour::named(SystemColour::ButtonFace);
    window.textColour = Colour::named(SystemColour::WindowText);

    auto& c = window.controls;
    c.push_back(informationPanel());
    c.push_back(hidden("CBhuangdao", ControlKind::ComboBox, {-130, 8, 145, 20}, 1));
    c.push_back(button("Button1", "算命软件升级", left(0), 2, Action::FortuneUpgrade));
    makeUpgradeButton(c.back());
    c.push_back(button("Button2", "算命手机版", right(0), 3, Action::OpenWebPage, vendorPageUrl(1)));
    c.push_back(hidden("Memo37", ControlKind::MultiLineText, {-170, 40, 185, 89}, 4));
    c.push_back(hidden("ComboBox1", ControlKind::ComboBox, {-130, 136, 145, 20}, 5));
    c.push_back(hidden("Memo38", ControlKind::MultiLineText, {-170, 168, 185, 89}, 6));
    c.push_back(button("Button9", "黄道数据升级2", {-200, 40, 93, kButtonHeight}, 7, Action::SecondAlmanacUpgrade));
    c.back().visible = false;
    c.push_back(hidden("CBhuangdao2", ControlKind::ComboBox, {-130, 272, 145, 20}, 8));
    c.push_back(button("Button8", "黄道数据升级", left(1), 9, Action::AlmanacUpgrade));
    makeUpgradeButton(c.back());
    c.push_back(button("Button10", "风水手机版", right(1), 10, Action::OpenWebPage, vendorPageUrl(2)));
    c.push_back(button("Button5", "客户QQ1", left(2), 11, Action::OpenChat, supportChatUrl(SupportChat::First)));
    c.push_back(button("Button11", "合婚手机版", right(2), 12, Action::OpenWebPage, vendorPageUrl(3)));
    c.push_back(button("Button3", "客户QQ2", left(3), 13, Action::OpenChat, supportChatUrl(SupportChat::Second)));
    c.push_back(button("Button12", "看日子手机版", right(3), 14, Action::OpenWebPage, vendorPageUrl(4)));
    c.push_back(button("Button7", "官方网站", left(4), 15, Action::OpenWebPage, vendorPageUrl(0)));
    c.push_back(button("Button13", "公司起名手机版", right(4), 16, Action::OpenWebPage, vendorPageUrl(5)));
    c.push_back(button("Button6", "人工起名", left(5), 17, Action::ShowNamingDialog));
    c.push_back(button("Button14", "宝宝取名手机版", right(5), 18, Action::OpenWebPage, vendorPageUrl(6)));
    c.push_back(button("Button15", "新购买付款方式", left(6), 19, Action::ShowPaymentDialog));
    c.back().textColour = kNavy;
    c.push_back(button("Button4", "退出", right(6, 93), 20, Action::CloseWindow));
    c.push_back(factory::picture("Image1", {}, {522, 2, 147, 180}, PictureId::Contact));
    c.push_back(factory::picture("Image2", {}, {522, 188, 147, 180}, PictureId::Payment));
    return window;
}

}  // namespace

const WindowDescription& mainWindow() {
    static const WindowDescription window = describeMainWindow();
    return window;
}

}  // namespace ui
