// The preview's rules without a window: paging through the grid, the status texts, the zooms and
// where the thumbnails go.
#include "reports/preview_state.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

const QSizeF kLetter(816, 1056);
const QSize kArea(800, 600);

TEST(PreviewState, ASinglePageFillsTheViewAndHasNothingToPageThrough) {
    PreviewState state(1, kLetter);
    EXPECT_TRUE(state.singlePage());
    EXPECT_FALSE(state.canNext());
    EXPECT_FALSE(state.canPrevious());
    EXPECT_EQ(state.pageText(), "Page 1 of 1");
    EXPECT_EQ(state.zoomText(), "No Zoom");
    const QList<PreviewState::Cell> cells = state.thumbnails(kArea);
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].page, 1);
    // As tall as the view allows, in the page's shape.
    EXPECT_EQ(cells[0].rect.height(), kArea.height() - 2 * PreviewState::kCellGap);
    EXPECT_NEAR(double(cells[0].rect.height()) / cells[0].rect.width(), kLetter.height() / kLetter.width(),
                0.01);
    EXPECT_TRUE(QRect(QPoint(0, 0), kArea).contains(cells[0].rect));
}

TEST(PreviewState, TwoByTwoOverFivePagesShowsTheFifthAloneAfterNext) {
    PreviewState state(5, kLetter);
    state.setAcross(2);
    state.setDown(2);
    EXPECT_EQ(state.cells(), 4);
    EXPECT_EQ(state.pageText(), "Pages 1-4 of 5");
    EXPECT_FALSE(state.canPrevious());
    ASSERT_TRUE(state.canNext());
    state.next();
    EXPECT_EQ(state.firstPage(), 5);
    EXPECT_EQ(state.pageText(), "Page 5 of 5");
    const QList<PreviewState::Cell> cells = state.thumbnails(kArea);
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].page, 5);
    EXPECT_FALSE(state.canNext());
    state.next();
    EXPECT_EQ(state.firstPage(), 5);
    ASSERT_TRUE(state.canPrevious());
    state.previous();
    EXPECT_EQ(state.firstPage(), 1);
    // From page 3 the view shows 3 to 5, and Previous stops at page 1.
    state.setFirstPage(3);
    EXPECT_EQ(state.pageText(), "Pages 3-5 of 5");
    state.previous();
    EXPECT_EQ(state.firstPage(), 1);
}

TEST(PreviewState, ClickingTheThirdThumbnailShowsItAtPageWidthAndBack) {
    PreviewState state(5, kLetter);
    state.setAcross(2);
    state.setDown(2);
    const QList<PreviewState::Cell> cells = state.thumbnails(kArea);
    ASSERT_EQ(cells.size(), 4);
    EXPECT_EQ(state.pageAt(kArea, cells[2].rect.center()), 3);
    EXPECT_EQ(state.pageAt(kArea, QPoint(0, 0)), 0);
    state.zoomInto(state.pageAt(kArea, cells[2].rect.center()));
    EXPECT_EQ(state.zoom(), PreviewZoom::PageWidth);
    EXPECT_EQ(state.pageText(), "Page 3 of 5");
    EXPECT_EQ(state.zoomText(), "Zoom (Page Width)");
    EXPECT_EQ(state.cells(), 0);
    EXPECT_TRUE(state.thumbnails(kArea).isEmpty());
    EXPECT_EQ(state.zoomedSize(408), QSize(408, 528));
    // Zoomed, paging goes one page at a time.
    state.next();
    EXPECT_EQ(state.firstPage(), 4);
    state.next();
    EXPECT_FALSE(state.canNext());
    state.backToThumbnails();
    EXPECT_EQ(state.zoomText(), "No Zoom");
    EXPECT_EQ(state.pageText(), "Page 5 of 5");
}

TEST(PreviewState, EachZoomHasItsTextFactorAndTickInThePopup) {
    struct Case {
        PreviewZoom zoom;
        QString text;
        double factor;
        QString menu;
    };
    const QList<Case> cases{
        {PreviewZoom::None, "No Zoom", 1.0, "+No Zoom|-|-Page Width|-50%|-75%|-100%|-200%|-300%"},
        {PreviewZoom::PageWidth, "Zoom (Page Width)", 0.5,
         "-No Zoom|-|+Page Width|-50%|-75%|-100%|-200%|-300%"},
        {PreviewZoom::Percent50, "Zoom (50%)", 0.5, "-No Zoom|-|-Page Width|+50%|-75%|-100%|-200%|-300%"},
        {PreviewZoom::Percent75, "Zoom (75%)", 0.75, "-No Zoom|-|-Page Width|-50%|+75%|-100%|-200%|-300%"},
        {PreviewZoom::Percent100, "Zoom (100%)", 1.0, "-No Zoom|-|-Page Width|-50%|-75%|+100%|-200%|-300%"},
        {PreviewZoom::Percent200, "Zoom (200%)", 2.0, "-No Zoom|-|-Page Width|-50%|-75%|-100%|+200%|-300%"},
        {PreviewZoom::Percent300, "Zoom (300%)", 3.0, "-No Zoom|-|-Page Width|-50%|-75%|-100%|-200%|+300%"},
    };
    for (const Case& c : cases) {
        PreviewState state(3, kLetter);
        state.setZoom(c.zoom);
        EXPECT_EQ(state.zoomText(), c.text);
        EXPECT_DOUBLE_EQ(state.zoomFactor(408), c.factor) << c.text.toStdString();
        EXPECT_EQ(state.zoomMenu(), c.menu);
    }
}

TEST(PreviewState, ChangingTheGridReturnsToThumbnailsAndPagesStayInRange) {
    PreviewState state(12, kLetter);
    state.setZoom(PreviewZoom::Percent200);
    state.setAcross(3);
    EXPECT_EQ(state.zoom(), PreviewZoom::None);
    state.setZoom(PreviewZoom::Percent75);
    state.setDown(0);
    EXPECT_EQ(state.zoom(), PreviewZoom::None);
    EXPECT_EQ(state.down(), 1);
    state.setAcross(99);
    EXPECT_EQ(state.across(), PreviewState::kMaxGrid);
    state.setFirstPage(0);
    EXPECT_EQ(state.firstPage(), 1);
    state.setFirstPage(40);
    EXPECT_EQ(state.firstPage(), 12);
    EXPECT_EQ(state.pageTip(), "Enter a page number from 1 to 12");
}

TEST(PreviewState, ThumbnailsGoRowByRowWithoutOverlapInThePagesShape) {
    PreviewState state(20, kLetter);
    state.setAcross(3);
    state.setDown(2);
    state.setFirstPage(4);
    const QList<PreviewState::Cell> cells = state.thumbnails(kArea);
    ASSERT_EQ(cells.size(), 6);
    for (int i = 0; i < cells.size(); ++i) {
        const QRect& r = cells[i].rect;
        EXPECT_EQ(cells[i].page, 4 + i);
        EXPECT_TRUE(QRect(QPoint(0, 0), kArea).contains(r)) << i;
        EXPECT_NEAR(double(r.height()) / r.width(), kLetter.height() / kLetter.width(), 0.02);
        if (i % 3 > 0) {
            EXPECT_EQ(r.top(), cells[i - 1].rect.top());
            EXPECT_EQ(r.left() - cells[i - 1].rect.right() - 1, PreviewState::kCellGap);
        }
        if (i >= 3) {
            EXPECT_EQ(r.top() - cells[i - 3].rect.bottom() - 1, PreviewState::kCellGap);
        }
    }
}

} // namespace
