// TFrmFukuan: how to pay the vendor, by bank transfer or through the online
// payment service, with two actions: copy the payment account to the
// clipboard, and open the payment service's login page.

#include "control_factory.h"
#include "links.h"
#include "vendor_contacts.h"
#include "window_description.h"

namespace ui {
namespace {

constexpr int kOuterWidth = 663;
constexpr int kOuterHeight = 294;
constexpr int kLabelLeft = 16;

ControlDescription container(std::string name, ControlKind kind, std::string parent, std::string caption,
                             Rect rect) {
    ControlDescription control;
    control.name = std::move(name);
    control.kind = kind;
    control.parent = std::move(parent);
    control.caption = std::move(caption);
    control.rect = rect;
    control.font = windowFont();
    return control;
}

// Light grey face, a thin frame line and the highlight colour under the mouse.
ControlDescription flatButton(std::string name, std::string caption, Rect rect, int tabOrder, Action action) {
    ControlDescription control = factory::button(std::move(name), std::move(caption), rect, tabOrder, action);
    control.parent = "GroupBox2";
    control.background = Colour::rgb(244, 244, 240);  // 15791348 as a Windows colour value
    control.frameColour = Colour::rgb(142, 143, 145);  // 9539470
    control.hotTrack = true;
    return control;
}

void describeBankBox(std::vector<ControlDescription>& c) {
    c.push_back(container("GroupBox1", ControlKind::GroupBox, "TabSheet1",
                          "银行付款购买(如自己不会支付可以让朋友或家人帮忙支付)", {16, 8, 633, 109}));
    const int rows[] = {22, 42, 61, 81};
    int row = 0;
    for (const BankAccount& bank : kBankAccounts) {
        std::string text = std::string(bank.bank) + "：  收款人：" + std::string(kPayee) + "   帐号：" +
                           std::string(bank.account);
        c.push_back(factory::autoSizeLabel("LabelBank" + std::to_string(row + 1), "GroupBox1", std::move(text),
                                           kLabelLeft, rows[row]));
        c.back().textColour = kBlack;
        ++row;
    }
}

void describeOnlineBox(std::vector<ControlDescription>& c) {
    c.push_back(container("GroupBox2", ControlKind::GroupBox, "TabSheet1", "支付宝或微信转款购买(立即到账)",
                          {16, 128, 633, 121}));
    c.push_back(factory::autoSizeLabel(
        "LabelOnlineAccount", "GroupBox2",
        "支付宝帐号：" + std::string(kPaymentAccount) + "  收款人：" + std::string(kPayee), kLabelLeft, 24));
    c.push_back(factory::autoSizeLabel("LabelNotice", "GroupBox2",
                                       "注意：付款时把联系QQ或电话或电子邮件和用户码填写到付款说明里面。",
                                       kLabelLeft, 47));
    c.push_back(factory::autoSizeLabel(
        "LabelMessenger", "GroupBox2",
        "微信号：" + std::string(kMessengerId) + "  也可以加微信发红包付款，红包同样视为付款。", kLabelLeft, 87));

    ControlDescription account = container("RzZhifubao", ControlKind::Edit, "GroupBox2",
                                           std::string(kPaymentAccount), {126, 22, 112, 20});
    account.visible = false;
    account.readOnly = true;
    account.maxLength = 200;
    c.push_back(account);

    c.push_back(flatButton("RzBitBtn19", "复制支付宝帐号", {333, 11, 108, 26}, 0, Action::CopyPaymentAccount));
    c.push_back(flatButton("RzBitBtn17", "马上登录支付宝转账付款", {449, 11, 167, 27}, 1, Action::OpenPaymentLogin));
    c.back().url = paymentLoginUrl();
    c.back().handCursor = true;
    c.back().picture = PictureId::PaymentLogin;
}

WindowDescription describePaymentDialog() {
    WindowDescription window;
    window.name = "FrmFukuan";
    window.className = "TFrmFukuan";
    window.caption = "付款方式";
    window.size = {kOuterWidth, kOuterHeight};
    window.sizeKind = SizeKind::Outer;
    window.borderIcons = {.systemMenu = true, .minimise = true, .maximise = false};
    window.centred = true;
    window.font = windowFont();
    window.background = Colour::named(SystemColour::ButtonFace);

    auto& c = window.controls;
    // One page whose tab strip lies above the visible area: the control starts
    // 17 pixels above and 6 to the left of the client area.
    ControlDescription pages =
        container("PageControl1", ControlKind::TabControl, {}, {}, {-6, -17, kOuterWidth + 6, kOuterHeight + 17});
    pages.tabStripHidden = true;
    c.push_back(pages);
    // The page's area within the tab control: below the (unseen) tab strip.
    ControlDescription page = container("TabSheet1", ControlKind::TabPage, "PageControl1", "TabSheet1",
                                        {4, 24, kOuterWidth - 2, kOuterHeight - 11});
    page.background = kWhite;
    c.push_back(page);

    describeBankBox(c);
    describeOnlineBox(c);
    return window;
}

}  // namespace

const WindowDescription& paymentDialog() {
    static const WindowDescription window = describePaymentDialog();
    return window;
}

}  // namespace ui
