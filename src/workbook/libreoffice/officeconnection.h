#pragma once

#include <QString>
#include <atomic>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <memory>

// The UNO bridge to an office's pipe, and the office's own component context and desktop reached
// through it. The bridge notices when the office goes away; calls after that fail.
class OfficeConnection final {
public:
    OfficeConnection();
    ~OfficeConnection();
    OfficeConnection(const OfficeConnection&) = delete;
    OfficeConnection& operator=(const OfficeConnection&) = delete;

    // One attempt that does not wait: true once connected, false while nothing answers on the
    // pipe or the office went away while answering (as one that asks to be started again does).
    bool tryConnect(const QString& pipeName);
    bool isConnected() const { return mDesktop.is(); }
    // The bridge saw the office go.
    bool isGone() const { return mGone->load(); }
    css::uno::Reference<css::uno::XComponentContext> context() const { return mContext; }
    css::uno::Reference<css::frame::XDesktop2> desktop() const { return mDesktop; }
    // Lets go of the bridge; nothing is asked of the office.
    void close();

    // The in-process UNO environment, made once for the program's life.
    static css::uno::Reference<css::uno::XComponentContext> localContext();

private:
    std::shared_ptr<std::atomic_bool> mGone;
    css::uno::Reference<css::bridge::XBridge> mBridge;
    css::uno::Reference<css::uno::XComponentContext> mContext;
    css::uno::Reference<css::frame::XDesktop2> mDesktop;
};
