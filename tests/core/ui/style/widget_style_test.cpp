#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include "core/ui/widget_style.h"

TEST(WidgetStyle, FusionAndAStyleThePlatformLacks)
{
    ASSERT_TRUE(applyWidgetStyle(1));
    EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");

    QStyle* before = QApplication::style();
    const bool vistaExists = QStyleFactory::keys().contains("WindowsVista", Qt::CaseInsensitive);
    EXPECT_EQ(applyWidgetStyle(0), vistaExists);
    if (!vistaExists) {
        EXPECT_EQ(QApplication::style(), before); // the current style stays
        EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
    }
    // any other stored value counts as Fusion
    EXPECT_TRUE(applyWidgetStyle(7));
    EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
}
