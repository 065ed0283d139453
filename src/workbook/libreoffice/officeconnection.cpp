#include "officeconnection.h"

#include "unoconvert.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/ConnectionSetupException.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

class BridgeListener final : public cppu::WeakImplHelper1<lang::XEventListener> {
public:
    explicit BridgeListener(std::shared_ptr<std::atomic_bool> gone)
        : mGone(std::move(gone))
    {
    }
    void SAL_CALL disposing(const lang::EventObject&) override { mGone->store(true); }

private:
    std::shared_ptr<std::atomic_bool> mGone;
};

} // namespace

Reference<uno::XComponentContext> OfficeConnection::localContext()
{
    // Never destroyed: at exit the UNO libraries may already be gone.
    static const auto* context = [] {
        // Without it the office's services cannot be found and Desktop::create crashes.
        if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
            qputenv("URE_BOOTSTRAP",
                QByteArrayLiteral(
                    "vnd.sun.star.pathname:" FERROWYND_OFFICE_PROGRAM_DIR "/fundamentalrc"));
        return new Reference<uno::XComponentContext>(
            officeCall(QStringLiteral("prepare its connection"),
                [] { return cppu::defaultBootstrap_InitialComponentContext(); }));
    }();
    return *context;
}

OfficeConnection::OfficeConnection()
    : mGone(std::make_shared<std::atomic_bool>(false))
{
}

OfficeConnection::~OfficeConnection()
{
    close();
}

bool OfficeConnection::tryConnect(const QString& pipeName)
{
    if (mDesktop.is())
        return true;
    const auto local = localContext();
    Reference<connection::XConnection> link;
    try {
        link = connection::Connector::create(local)->connect(
            toOUString(QStringLiteral("pipe,name=") + pipeName));
    } catch (const connection::NoConnectException&) {
    } catch (const connection::ConnectionSetupException&) {
    }
    if (!link.is())
        return false;
    try {
        mBridge = bridge::BridgeFactory::create(local)->createBridge(
            rtl::OUString(), rtl::OUString("urp"), link, {});
        Reference<lang::XComponent>(mBridge, UNO_QUERY_THROW)
            ->addEventListener(new BridgeListener(mGone));
        mContext.set(
            mBridge->getInstance(rtl::OUString("StarOffice.ComponentContext")), UNO_QUERY_THROW);
        mDesktop = frame::Desktop::create(mContext);
        return true;
    } catch (const uno::RuntimeException&) {
        close();
        mGone->store(false);
        return false;
    }
}

void OfficeConnection::close()
{
    mDesktop.clear();
    mContext.clear();
    if (mBridge.is()) {
        try {
            Reference<lang::XComponent>(mBridge, UNO_QUERY_THROW)->dispose();
        } catch (const uno::Exception&) {
        }
        mBridge.clear();
    }
}
