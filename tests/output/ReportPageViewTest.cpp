// The report pages as a person sees them: each page of the sample project rendered into an
// image and checked for the colours that carry meaning.
#include "OutputTestSupport.h"

#include "DMObjectSerialization.h"

#include <QImage>

using namespace halcyra::test;

namespace {

class ReportPageViewTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        sample = makeSampleProject();
        useProject(sample.project);
        host.headerColor = DMObjectSerialization::encode(QVariant::fromValue(QColor(225, 230, 236)));
        host.page->resize(1100, 640);
        host.page->show();
    }
    QImage shoot()
    {
        runUntilIdle();
        QImage image(host.page->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        host.page->render(&image);
        return image;
    }
    static int pixelsOf(const QImage &image, const QColor &colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y).rgb() == colour.rgb();
        return n;
    }

    SampleProject sample;
};

} // namespace

TEST_F(ReportPageViewTest, PagesShowHeaderBandsAndCompletionColours)
{
    report->showPageWithTag(DMPage::GlobalReportPage, DMDate(), DMDate());
    const QImage image = shoot();
    EXPECT_GT(pixelsOf(image, QColor(225, 230, 236)), 2000) << "the two column-header bands";
    EXPECT_GT(pixelsOf(image, QColor(0xEF, 0xD2, 0x42)), 50) << "10 % of the quay";
    EXPECT_GT(pixelsOf(image, QColor(0xED, 0xFF, 0x0C)), 50) << "50 % of the survey";
    EXPECT_GT(pixelsOf(image, QColor(0x76, 0xC0, 0x43)), 50) << "the finished drawing";

    report->showPageWithTag(DMPage::TasksByResourcePage, at(2024, 3, 1), at(2024, 5, 1));
    const QImage byResource = shoot();
    EXPECT_GT(pixelsOf(byResource, QColor(225, 230, 236)), 1000);
    report->showPageWithTag(DMPage::TasksByProcessesPage, at(2024, 3, 1), at(2024, 5, 1));
    const QImage byProcess = shoot();
    EXPECT_GT(pixelsOf(byProcess, QColor(0xED, 0xFF, 0x0C)), 50) << "the survey's bar";
    setColumns(false, false);
    const QImage bare = shoot();
    EXPECT_EQ(pixelsOf(bare, QColor(0xED, 0xFF, 0x0C)), 0);
}
