// The About box and its links: name and version, the family links enabled by
// the identity's flags, the update page's URL, and the link control's colours,
// following and failure report.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "stamper/CProductIdentity.h"
#include "ui/CAboutBoxDlg.h"
#include "ui/CAboutPages.h"
#include "ui/CHyperLink.h"
#include "ui/ControlIds.h"
#include "ui/UiTestSupport.h"

// The module's version record; naming it links it into this program, whose
// own file then carries the version as the module's does.
extern "C" const uint32_t QmVersionRecord[4];

namespace {

using ui::FindControl;

class AboutBoxTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QmVersionRecord[0], 3u);
        mIdentity.SetName(" Quillmark ");
        mIdentity.SetProductId("Quillmark");
        mIdentity.SetSuiteFlags(true, false);
        CHyperLink::SetUrlOpener([this](const QString& inUrl) {
            mOpened.push_back(inUrl);
            return mOpenSucceeds;
        });
    }
    void TearDown() override { CHyperLink::SetUrlOpener(CHyperLink::UrlOpener()); }

    CProductIdentity mIdentity;
    std::vector<QString> mOpened;
    bool mOpenSucceeds = true;
    uitest::ScriptedSeam mSeam;
};

TEST_F(AboutBoxTest, ShowsNameVersionAndTheFamilyLinksOfItsFlags) {
    CAboutBoxDlg box(mIdentity);
    EXPECT_EQ(box.windowTitle(), "About Quillmark");
    EXPECT_EQ(FindControl<QLabel>(&box, 1030)->text(), "Quillmark 3.0");
    auto* tabs = FindControl<QTabWidget>(&box, 1000);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("关于"));
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("产品信息"));
    EXPECT_EQ(FindControl<QLineEdit>(&box, 1003)->text(), "Quillmark 3.0 [1]");
    QWidget* productPage = tabs->widget(1);
    EXPECT_TRUE(FindControl<CHyperLink>(&box, 1007)->isEnabledTo(productPage));   // publish family
    EXPECT_FALSE(FindControl<CHyperLink>(&box, 1009)->isEnabledTo(productPage));  // print family
    EXPECT_EQ(FindControl<CHyperLink>(&box, 1005)->GetURL(), "mailto:support@quillmark.org");
    EXPECT_EQ(FindControl<CHyperLink>(&box, 1031)->GetURL(), FindControl<CHyperLink>(&box, 1031)->text());
    box.adjustSize();
    uitest::SaveScreenshot(&box, "about-box");
    tabs->setCurrentIndex(1);
    EXPECT_FALSE(tabs->widget(0)->isEnabled());
    EXPECT_TRUE(tabs->widget(1)->isEnabled());
    uitest::SaveScreenshot(&box, "about-box-product");
}

TEST_F(AboutBoxTest, NeitherFamilyDisablesBothLinksAndTheFamilyText) {
    mIdentity.SetSuiteFlags(false, false);
    CProductInfoPage page(mIdentity);
    for (int id : {1007, 1009, 1065}) EXPECT_FALSE(FindControl<QWidget>(&page, id)->isEnabledTo(&page)) << id;
}

TEST_F(AboutBoxTest, UpdateCheckOpensTheUpdatePageForThisVersionOnLinuxOrSaysItCannot) {
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        mOpenSucceeds = opens;
        mOpened.clear();
        mSeam.messages.clear();
        CProductInfoPage page(mIdentity);
        QTest::mouseClick(FindControl<QPushButton>(&page, 1126), Qt::LeftButton);
        ASSERT_EQ(mOpened.size(), 1u);
        EXPECT_TRUE(mOpened[0].endsWith("redirects/updates.asp?productid=Quillmark&version=3.0.0.1&os=linux"))
            << mOpened[0].toStdString();
        const QStringList expected = opens ? QStringList() : QStringList{"Can't open link:\n\n"};
        ASSERT_EQ(mSeam.messages.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) EXPECT_TRUE(mSeam.messages[i].startsWith(expected[i]));
    }
}

TEST_F(AboutBoxTest, LinkFollowedByClickOrSpaceGoesThroughTheOpenerAndIsVisited) {
    CHyperLink link("Quillmark");
    link.SetURL("https://www.quillmark.org/");
    link.show();
    EXPECT_EQ(link.CurrentColour(), QColor(0, 0, 255));  // normal: blue
    QTest::mouseClick(&link, Qt::LeftButton);
    ASSERT_EQ(mOpened.size(), 1u);
    EXPECT_EQ(mOpened[0], "https://www.quillmark.org/");
    EXPECT_TRUE(link.GetVisited());
    CHyperLink visited("y");
    visited.SetVisited(true);
    EXPECT_EQ(visited.CurrentColour(), QColor(128, 0, 128));  // visited: purple
    QTest::keyClick(&link, Qt::Key_Space);
    EXPECT_EQ(mOpened.size(), 2u);
    EXPECT_TRUE(mSeam.messages.empty());
}

TEST_F(AboutBoxTest, LinkThatCannotBeOpenedIsReportedAndNotVisited) {
    mOpenSucceeds = false;
    CHyperLink link("mailto:nobody@quillmark.org");
    link.FollowLink();
    EXPECT_FALSE(link.GetVisited());
    ASSERT_EQ(mSeam.messages.size(), 1u);
    EXPECT_TRUE(mSeam.messages[0].startsWith("Can't open link:\n\n"));
}

TEST_F(AboutBoxTest, StyleBitsInBothRemoveAndAddAreRefused) {
    CHyperLink link("x");
    EXPECT_EQ(link.GetLinkStyle(), 0x15u);
    EXPECT_FALSE(link.ModifyLinkStyle(0x01, 0x01));
    EXPECT_EQ(link.GetLinkStyle(), 0x15u);
    EXPECT_TRUE(link.ModifyLinkStyle(0x01, 0x02));
    EXPECT_EQ(link.GetLinkStyle(), 0x16u);
    EXPECT_FALSE(link.font().underline());
    EXPECT_EQ(CHyperLink::ErrorText(2), "The specified file was not found.");
    EXPECT_EQ(CHyperLink::ErrorText(99), "Unknown Error (99) occurred.");
}

}  // namespace
