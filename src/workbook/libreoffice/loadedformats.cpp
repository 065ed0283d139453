#include "loadedformats.h"

#include <vector>

namespace {

struct Known {
    std::weak_ptr<void> office;
    QByteArray digest;
    std::shared_ptr<LoadedFormats> formats;
};

// A program loads one template over and over; a few other files (tests, saved results reopened)
// need not pile up.
constexpr size_t keptWorkbooks = 8;

} // namespace

std::shared_ptr<LoadedFormats> LoadedFormats::of(
    const std::shared_ptr<void>& office, const QByteArray& digest)
{
    static std::mutex mutex;
    static std::vector<Known> known;
    const std::lock_guard<std::mutex> lock(mutex);
    for (auto entry = known.begin(); entry != known.end();) {
        const std::shared_ptr<void> owner = entry->office.lock();
        if (!owner) {
            entry = known.erase(entry);
            continue;
        }
        if (owner == office && entry->digest == digest)
            return entry->formats;
        ++entry;
    }
    if (known.size() >= keptWorkbooks)
        known.erase(known.begin());
    known.push_back({ office, digest, std::make_shared<LoadedFormats>() });
    return known.back().formats;
}

std::optional<LoadedFormats::Format> LoadedFormats::find(int sheet, int row, int column) const
{
    const std::lock_guard<std::mutex> lock(mMutex);
    const auto found = mFormats.find({ sheet, row, column });
    if (found == mFormats.end())
        return std::nullopt;
    return found->second;
}

void LoadedFormats::remember(int sheet, int row, int column, const Format& format)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    mFormats.insert_or_assign({ sheet, row, column }, format);
}
