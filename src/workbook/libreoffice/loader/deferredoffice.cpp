#include "deferredoffice.h"

#include "app/apperror.h"
#include "workbook/libreoffice/officemodule.h"
#include "workbook/libreoffice/officeprogram.h"
#include "workbook/spreadsheetapplication.h"

#include <cstdio>

DeferredOffice::DeferredOffice(const QString& warmUpWorkbook)
    : mWarmUpWorkbook(warmUpWorkbook)
{
}

DeferredOffice::~DeferredOffice() = default;

SpreadsheetOffice& DeferredOffice::office()
{
    if (!mOffice) {
        std::unique_ptr<SpreadsheetOffice> made = loadOfficeModule().createOffice(mWarmUpWorkbook);
        // What was asked before the module came, in the order it was asked.
        if (mStartFailure)
            made->setStartFailureHandler(mStartFailure);
        if (mHeld)
            made->holdStart();
        if (mStartAsked)
            made->startAhead();
        mOffice = std::move(made);
    }
    return *mOffice;
}

void DeferredOffice::startAhead()
{
    if (!mOffice && mHeld) {
        requireOfficeProgram();
        mStartAsked = true;
        return;
    }
    office().startAhead();
}

std::unique_ptr<SpreadsheetApplication> DeferredOffice::newInstance()
{
    return office().newInstance();
}

void DeferredOffice::setStartFailureHandler(std::function<void()> handler)
{
    mStartFailure = handler;
    if (mOffice)
        mOffice->setStartFailureHandler(std::move(handler));
}

bool DeferredOffice::awaitStart()
{
    return office().awaitStart();
}

void DeferredOffice::runEnded()
{
    if (mOffice)
        mOffice->runEnded();
}

void DeferredOffice::holdStart()
{
    mHeld = true;
    if (mOffice)
        mOffice->holdStart();
}

void DeferredOffice::releaseStart()
{
    if (!mHeld)
        return;
    try {
        office();
    } catch (const AppError& error) {
        mHeld = false;
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return;
    }
    mHeld = false;
    mOffice->releaseStart();
}
