#include "history/HistoryLoader.h"

#include "history/HistoryExport.h"
#include "history/HistoryReader.h"

#include <QSqlDatabase>

HistoryLoader::HistoryLoader(const QString& path, QObject* parent) : QObject(parent), path_(path) {}

HistoryLoader::~HistoryLoader() {
    thread_.run([this] { reader_.reset(); });
}

QString HistoryLoader::openReader() {
    if (readerOpen_)
        return {};
    if (!reader_)
        reader_ = std::make_unique<HistoryReader>(path_);
    const QString failure = reader_->open();
    readerOpen_ = failure.isEmpty();
    return failure;
}

int HistoryLoader::readSeries(const QString& address, qint64 fromMs, qint64 toMs) {
    const int request = ++requests_;
    thread_.post([this, request, address, fromMs, toMs] {
        HistorySeries series;
        QString failure = openReader();
        if (failure.isEmpty())
            failure = ::readSeries(reader_->database(), address, fromMs, toMs, series);
        QMetaObject::invokeMethod(
            this, [this, request, series, failure] { emit seriesRead(request, series, failure); });
    });
    return request;
}

void HistoryLoader::exportTo(const QString& file) {
    thread_.post([this, file] {
        const QString failure = exportHistoryTo(path_, file);
        QMetaObject::invokeMethod(this, [this, file, failure] { emit exported(file, failure); });
    });
}
