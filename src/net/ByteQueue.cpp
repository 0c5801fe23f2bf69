#include "net/ByteQueue.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace {
std::atomic<qsizetype> growthLimit{-1};
} // namespace

void ByteQueue::failGrowthPast(qsizetype bytes) {
    growthLimit.store(bytes, std::memory_order_relaxed);
}

void ByteQueue::append(const QByteArray& bytes) {
    const qsizetype limit = growthLimit.load(std::memory_order_relaxed);
    if (limit >= 0 && size() + bytes.size() > limit)
        throw std::bad_alloc();
    data_.append(bytes);
}

void ByteQueue::clear() {
    data_.clear();
    head_ = 0;
    scanned_ = 0;
}

qsizetype ByteQueue::lineEnd() const {
    const qsizetype found = data_.indexOf('\n', std::max(head_, scanned_));
    scanned_ = found >= 0 ? found : data_.size();
    return found;
}

QByteArray ByteQueue::takeLine() {
    const qsizetype end = lineEnd();
    if (end < 0)
        return {};
    QByteArray line = data_.mid(head_, end + 1 - head_);
    drop(line.size());
    return line;
}

QByteArray ByteQueue::takeAll() {
    QByteArray all = head_ == 0 ? data_ : data_.mid(head_);
    clear();
    return all;
}

void ByteQueue::drop(qsizetype count) {
    head_ += std::min(count, size());
    if (head_ == data_.size()) {
        clear();
    } else if (head_ > 65536 && head_ > data_.size() / 2) {
        data_.remove(0, head_);
        scanned_ = std::max<qsizetype>(0, scanned_ - head_);
        head_ = 0;
    }
}
