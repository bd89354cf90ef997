// The gallery list with 10,000 small photos: filling it up to the first painted item, against a bare listing
// of the same folder in the same run; making one thumbnail from a 640x480 and a 1280x960 photo; the bytes
// the thumbnails hold once the cache trim has run, against what the visible items need; and the first paint
// of a screenful of movies (read in the background) against reading one movie's thumbnail on the spot.
#include "CMedianReporter.h"
#include "capture/CCatalogListCtrl.h"
#include "capture/CCatalogThumbnail.h"
#include "capture/CThumbnailLoader.h"
#include "ui/ITimerService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

constexpr int kItemCount = 10000;
const QSize kThumb(100, 75);

// A photo-like picture (gradients and detail), so the JPEG decoder does real work.
QImage MakePicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255) / width, (y * 255) / height, ((x ^ y) * 7) & 0xFF);
    }
    return image;
}

// The folders are made once for the whole program.
struct Corpus {
    QTemporaryDir dir;
    QString gallery;   // 10,000 "Picture <n>.jpg", hard links of one small JPEG
    QString photo640;  // one 640x480 JPEG
    QString photo1280; // one 1280x960 JPEG

    Corpus() {
        gallery = dir.filePath("gallery");
        QDir().mkpath(gallery);
        const QString small = dir.filePath("small.jpg");
        MakePicture(160, 120).save(small, "JPG", 90);
        for (int i = 0; i < kItemCount; ++i) {
            const QString name = gallery + QStringLiteral("/Picture %1.jpg").arg(i);
            if (!QFile::link(small, name) && !QFile::copy(small, name))
                std::fprintf(stderr, "cannot make %s\n", qPrintable(name));
        }
        photo640 = dir.filePath("photo640.jpg");
        photo1280 = dir.filePath("photo1280.jpg");
        MakePicture(640, 480).save(photo640, "JPG", 90);
        MakePicture(1280, 960).save(photo1280, "JPG", 90);
    }
};

Corpus& TheCorpus() {
    static Corpus corpus;
    return corpus;
}

// Timers that fire only when the benchmark says so (the cache trim without waiting 20 s).
class CManualTimerService : public ITimerService {
public:
    TimerHandle StartTimer(uint32_t intervalMs, Callback callback) override {
        timers_[next_] = {intervalMs, std::move(callback)};
        return next_++;
    }
    void StopTimer(TimerHandle handle) override { timers_.erase(handle); }
    void Fire(uint32_t intervalMs) {
        for (auto& [handle, timer] : std::map<TimerHandle, Timer>(timers_))
            if (timer.interval == intervalMs && timers_.count(handle) != 0)
                timer.callback();
    }

private:
    struct Timer {
        uint32_t interval;
        Callback callback;
    };
    std::map<TimerHandle, Timer> timers_;
    TimerHandle next_ = 1;
};

void BM_FillToFirstPaint(benchmark::State& state) {
    const std::string folder = TheCorpus().gallery.toStdString();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<CCatalogListCtrl>();
        list->resize(640, 480);
        list->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (list->FillFromFolder(folder, "Picture*.jpg") != S_OK || list->ItemCount() != kItemCount) {
            state.SkipWithError("the fill failed");
            break;
        }
        QImage shown = list->viewport()->grab().toImage();
        benchmark::DoNotOptimize(shown);
        if (!list->HasThumbnail(0)) {
            state.SkipWithError("the first item was not drawn");
            break;
        }
        state.PauseTiming();
        list.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItemCount);
}
BENCHMARK(BM_FillToFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DirectoryListing(benchmark::State& state) {
    QDir dir(TheCorpus().gallery);
    dir.setNameFilters({QStringLiteral("Picture*.jpg")});
    dir.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Unsorted);
    for (auto _ : state) {
        dir.refresh();
        const QFileInfoList files = dir.entryInfoList();
        qint64 total = 0;
        for (const QFileInfo& file : files)
            total += file.size() + file.lastModified().toMSecsSinceEpoch();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_DirectoryListing)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Thumbnail640x480(benchmark::State& state) {
    const std::string path = TheCorpus().photo640.toStdString();
    for (auto _ : state) {
        QImage thumb = CCatalogThumbnail::FromFile(path, kThumb);
        if (thumb.isNull()) {
            state.SkipWithError("no thumbnail");
            break;
        }
        benchmark::DoNotOptimize(thumb);
    }
}
BENCHMARK(BM_Thumbnail640x480)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Thumbnail1280x960(benchmark::State& state) {
    const std::string path = TheCorpus().photo1280.toStdString();
    for (auto _ : state) {
        QImage thumb = CCatalogThumbnail::FromFile(path, kThumb);
        if (thumb.isNull()) {
            state.SkipWithError("no thumbnail");
            break;
        }
        benchmark::DoNotOptimize(thumb);
    }
}
BENCHMARK(BM_Thumbnail1280x960)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Every item drawn once (as after scrolling through the whole gallery), then the cache trim: what stays is
// what the visible items need.
void BM_ThumbnailMemoryAfterTrim(benchmark::State& state) {
    CManualTimerService timers;
    SetTimerService(&timers);
    const std::string folder = TheCorpus().gallery.toStdString();
    qint64 before = 0, after = 0, visible = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<CCatalogListCtrl>();
        list->resize(640, 480);
        list->show();
        list->FillFromFolder(folder, "Picture*.jpg");
        QCoreApplication::processEvents();
        list->viewport()->grab();
        const QImage drawn = list->Item(0)->thumbnail;
        for (int i = 0; i < list->ItemCount(); ++i)
            list->Item(i)->thumbnail = drawn.copy();
        before = list->ThumbnailBytes();
        visible = 0;
        for (int i = 0; i < list->ItemCount(); ++i)
            if (list->visualRect(list->model()->index(i, 0)).intersects(list->viewport()->rect()))
                ++visible;
        state.ResumeTiming();
        timers.Fire(CCatalogListCtrl::kCacheTrimIntervalMs);
        state.PauseTiming();
        after = list->ThumbnailBytes();
        list.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    SetTimerService(nullptr);
    state.counters["bytes_before"] = static_cast<double>(before);
    state.counters["bytes_after"] = static_cast<double>(after);
    state.counters["visible_items"] = static_cast<double>(visible);
    state.counters["bytes_per_visible"] =
        visible > 0 ? static_cast<double>(after) / static_cast<double>(visible) : 0.0;
}
BENCHMARK(BM_ThumbnailMemoryAfterTrim)->Unit(benchmark::kMillisecond)->Iterations(3);

// A screenful of movies (links of one sample movie). Empty when the sample media are not there.
QString MovieGallery() {
    static const QString folder = [] {
        const QString movie = QStringLiteral(VIDORA_SAMPLE_MOVIE);
        if (!QFile::exists(movie))
            return QString();
        const QString gallery = TheCorpus().dir.filePath("movies");
        QDir().mkpath(gallery);
        for (int i = 0; i < 12; ++i)
            QFile::link(movie, gallery + QStringLiteral("/Video %1.wmv").arg(i));
        return gallery;
    }();
    return folder;
}

void BM_MovieListFirstPaint(benchmark::State& state) {
    const std::string folder = MovieGallery().toStdString();
    if (folder.empty()) {
        state.SkipWithError("no sample movie");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<CCatalogListCtrl>();
        list->resize(640, 480);
        list->show();
        list->FillFromFolder(folder, "*.wmv");
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QImage shown = list->viewport()->grab().toImage();
        benchmark::DoNotOptimize(shown);
        state.PauseTiming();
        list.reset();
        CThumbnailLoader::WaitForWorkers(30000);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MovieListFirstPaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_MovieThumbnailOnTheSpot(benchmark::State& state) {
    const std::string folder = MovieGallery().toStdString();
    if (folder.empty()) {
        state.SkipWithError("no sample movie");
        return;
    }
    for (auto _ : state) {
        QImage thumb = CCatalogThumbnail::FromFile(folder + "/Video 0.wmv", kThumb);
        benchmark::DoNotOptimize(thumb);
    }
}
BENCHMARK(BM_MovieThumbnailOnTheSpot)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TheCorpus();
    benchmark::Initialize(&argc, argv);
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fill = reporter.medians["BM_FillToFirstPaint"],
                 listing = reporter.medians["BM_DirectoryListing"];
    if (fill > 0 && listing > 0)
        std::printf(
            "fill of %d photos to the first painted item: %.1f ms, bare listing %.1f ms, ratio %.2f\n",
            kItemCount, fill / 1000, listing / 1000, fill / listing);
    const double t640 = reporter.medians["BM_Thumbnail640x480"],
                 t1280 = reporter.medians["BM_Thumbnail1280x960"];
    if (t640 > 0 && t1280 > 0)
        std::printf("thumbnail per item: 640x480 %.0f us, 1280x960 %.0f us\n", t640, t1280);
    const double moviePaint = reporter.medians["BM_MovieListFirstPaint"],
                 movieRead = reporter.medians["BM_MovieThumbnailOnTheSpot"];
    if (moviePaint > 0 && movieRead > 0)
        std::printf(
            "first paint of 12 movies: %.0f us, one movie thumbnail read on the spot %.0f us, ratio %.2f\n",
            moviePaint, movieRead, moviePaint / movieRead);
    benchmark::Shutdown();
    return 0;
}
