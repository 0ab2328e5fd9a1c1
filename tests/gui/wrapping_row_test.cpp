// The window's top row: on one line while it fits, the next widget on a new
// line when it does not, and its items given back as Qt asks for them.

#include "gui/wrapping_row.h"

#include <QWidget>

#include <gtest/gtest.h>

using marunoki::gui::WrappingRow;

TEST(WrappingRow, WrapsWhereTheWidthEndsAndGivesItsItemsBack)
{
    QWidget parent;
    auto *row = new WrappingRow(&parent, 6);  // no margins of its own
    QWidget *widgets[3];
    for (QWidget *&w : widgets) {
        w = new QWidget(&parent);
        w->setFixedSize(100, 20);
        row->addWidget(w);
    }
    EXPECT_EQ(row->sizeHint(), QSize(312, 20));
    EXPECT_EQ(row->minimumSize(), QSize(100, 20));
    const struct {
        int width, height;
    } widths[] = {{312, 20}, {311, 46}, {206, 46}, {205, 72}, {100, 72}};
    for (const auto &w : widths)
        EXPECT_EQ(row->heightForWidth(w.width), w.height) << w.width;
    row->setGeometry(QRect(0, 0, 210, 46));
    EXPECT_EQ(widgets[2]->geometry(), QRect(0, 26, 100, 20));

    EXPECT_EQ(row->takeAt(-1), nullptr);
    EXPECT_EQ(row->takeAt(3), nullptr);
    QLayoutItem *second = row->takeAt(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->widget(), widgets[1]);
    delete second;
    EXPECT_EQ(row->count(), 2);
    EXPECT_EQ(row->itemAt(1)->widget(), widgets[2]);
}
