#pragma once

#include <QByteArray>
#include <com/sun/star/lang/Locale.hpp>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>

// The number formats of a workbook's cells as loading it gives them, shared by every workbook an
// office loads from the same bytes: each plan run opens a fresh copy of one template, and asking
// the office for a block's formats costs round trips every time. Loading is deterministic, so
// what one copy showed before anything was written holds for the next; only formats read from
// cells nobody has changed since loading may be remembered.
class LoadedFormats final {
public:
    struct Format {
        bool percent = false;
        bool general = false;
        css::lang::Locale locale;
    };

    // The formats of workbooks loaded from bytes with that digest by that office; a new office
    // (its process may run with other settings) starts afresh.
    static std::shared_ptr<LoadedFormats> of(
        const std::shared_ptr<void>& office, const QByteArray& digest);

    std::optional<Format> find(int sheet, int row, int column) const;
    void remember(int sheet, int row, int column, const Format& format);

private:
    mutable std::mutex mMutex;
    std::map<std::tuple<int, int, int>, Format> mFormats;
};
