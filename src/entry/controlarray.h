#pragma once

#include "app/apperror.h"

#include <QString>
#include <functional>
#include <map>
#include <utility>
#include <vector>

// A designer control array: one name, elements addressed by index (`txtExpense(12)`).
template <typename T> class ControlArray final {
public:
    explicit ControlArray(QString name)
        : mName(std::move(name))
    {
    }

    // Throws AppError for an index that has no element.
    T* operator()(int index) const
    {
        const auto found = mElements.find(index);
        if (found == mElements.end())
            throw AppError(QStringLiteral("Control array element '%1' doesn't exist (%2)")
                               .arg(index)
                               .arg(mName));
        if (!found->second) {
            found->second = mMakers.at(index)();
            mMakers.erase(index);
        }
        return found->second;
    }

    bool contains(int index) const { return mElements.count(index) != 0; }
    void insert(int index, T* element)
    {
        mElements[index] = element;
        mMakers.erase(index);
    }
    // An element made when it is first asked for, for one that may never be needed before the
    // window is on the screen.
    void insertMadeOnUse(int index, std::function<T*()> make)
    {
        mElements[index] = nullptr;
        mMakers[index] = std::move(make);
    }
    int count() const { return static_cast<int>(mElements.size()); }
    QString name() const { return mName; }

    std::vector<int> indices() const
    {
        std::vector<int> result;
        for (const auto& element : mElements)
            result.push_back(element.first);
        return result;
    }

private:
    QString mName;
    mutable std::map<int, T*> mElements;
    mutable std::map<int, std::function<T*()>> mMakers;
};
