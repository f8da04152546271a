#include "Unit1.h"
#include "info/links.h"
#include "fake_product_database.h"
#include "recording_feedback.h"
#include "url_recorder.h"

#include <QPushButton>
#include <QUrlQuery>
#include <gtest/gtest.h>

TEST(Links, EveryLinkButtonOpensItsAddress) {
    RecordingFeedback feedback;
    UnusedOpener opener;
    TForm1 form(feedback, opener);
    UrlRecorder recorder;
    const std::pair<QPushButton*, const char*> expected[] = {
        {form.Button7, "http://www.quelvor.example"},
        {form.Button2, "http://www.quelvor.example/Chinese/Shou1.htm"},
        {form.Button10, "http://www.quelvor.example/Chinese/Shou2.htm"},
        {form.Button11, "http://www.quelvor.example/Chinese/Shou3.htm"},
        {form.Button12, "http://www.quelvor.example/Chinese/Shou4.htm"},
        {form.Button13, "http://www.quelvor.example/Chinese/Shou5.htm"},
        {form.Button14, "http://www.quelvor.example/Chinese/Shou6.htm"},
        {form.Button5, "tencent://message/?uin=1000000001&Site=Quelvor%E8%BD%AF%E4%BB%B6&Menu=yes"},
        {form.Button3, "tencent://message/?uin=1000000002&Site=Brannoc%E8%BD%AF%E4%BB%B6&Menu=yes"},
    };
    for (const auto& [button, address] : expected) {
        recorder.urls.clear();
        button->click();
        ASSERT_EQ(recorder.urls.size(), 1u) << button->objectName().toStdString();
        EXPECT_EQ(recorder.urls[0].toString(QUrl::FullyEncoded).toStdString(), address)
            << button->objectName().toStdString();
    }
    EXPECT_TRUE(feedback.messages.empty()) << "links report nothing";
}

TEST(Links, ChatLinkKeepsItsKeysInOrderAndDecodesToTheLabel) {
    const QUrl url = info::supportChatUrl(info::SupportChat::First);
    const QString query = url.query(QUrl::FullyEncoded);
    EXPECT_TRUE(query.startsWith(QStringLiteral("uin=")));
    EXPECT_LT(query.indexOf(QStringLiteral("&Site=")), query.indexOf(QStringLiteral("&Menu=yes")));
    EXPECT_TRUE(query.endsWith(QStringLiteral("&Menu=yes")));
    EXPECT_EQ(QUrlQuery(url).queryItemValue(QStringLiteral("Site"), QUrl::FullyDecoded), QStringLiteral("Quelvor软件"));
    EXPECT_TRUE(url.isValid());
}

TEST(Links, PaymentLoginPageIsHttpsAndOutOfRangePagesAreRefused) {
    const QUrl login = info::paymentLoginUrl();
    EXPECT_EQ(login.scheme(), QStringLiteral("https"));
    EXPECT_EQ(login.path(), QStringLiteral("/login/index.htm"));
    EXPECT_TRUE(login.host().endsWith(QStringLiteral(".example")));
    EXPECT_THROW(info::vendorPageUrl(7), std::out_of_range);
    EXPECT_THROW(info::vendorPageUrl(-1), std::out_of_range);
}
