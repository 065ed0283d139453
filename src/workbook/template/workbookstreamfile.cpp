#include "workbookstreamfile.h"

#include "app/apperror.h"
#include "workbook/libreoffice/unoconvert.h"

#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/embed/OLESimpleStorage.hpp>
#include <com/sun/star/embed/XTransactedObject.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/io/XOutputStream.hpp>
#include <com/sun/star/io/XStream.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/ucb/SimpleFileAccess.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

const rtl::OUString streamName("Workbook");

QByteArray readAll(const Reference<io::XInputStream>& input)
{
    QByteArray bytes;
    uno::Sequence<sal_Int8> chunk;
    while (const sal_Int32 count = input->readBytes(chunk, 65536))
        bytes.append(reinterpret_cast<const char*>(chunk.getConstArray()), count);
    input->closeInput();
    return bytes;
}

// The open file and the storage over it, both closed when done with.
class OpenStorage {
public:
    OpenStorage(
        const Reference<uno::XComponentContext>& context, const QString& path, bool writable)
    {
        const auto access = ucb::SimpleFileAccess::create(context);
        const rtl::OUString url = fileUrl(path);
        if (writable) {
            mStream = access->openFileReadWrite(url);
            mStorage.set(
                embed::OLESimpleStorage::createFromStream(context, mStream, true), UNO_QUERY_THROW);
        } else {
            mInput = access->openFileRead(url);
            mStorage.set(embed::OLESimpleStorage::createFromInputStream(context, mInput, true),
                UNO_QUERY_THROW);
        }
        if (!mStorage->hasByName(streamName))
            throw AppError(QStringLiteral("%1 holds no workbook stream.").arg(path));
    }

    ~OpenStorage()
    {
        try {
            const Reference<lang::XComponent> component(mStorage, uno::UNO_QUERY);
            if (component.is())
                component->dispose();
            if (mStream.is()) {
                mStream->getOutputStream()->closeOutput();
                mStream->getInputStream()->closeInput();
            }
            if (mInput.is())
                mInput->closeInput();
        } catch (const uno::Exception&) {
            // Closing a file already closed by the storage is no failure.
        }
    }
    OpenStorage(const OpenStorage&) = delete;
    OpenStorage& operator=(const OpenStorage&) = delete;

    QByteArray workbook() const
    {
        const Reference<io::XInputStream> input(mStorage->getByName(streamName), UNO_QUERY_THROW);
        return readAll(input);
    }

    void replaceWorkbook(const Reference<uno::XComponentContext>& context, const QByteArray& bytes)
    {
        // Replacing the element in place fails in the office ("Can't copy raw stream"), removing
        // and inserting it again works.
        const Reference<embed::XTransactedObject> transacted(mStorage, UNO_QUERY_THROW);
        mStorage->removeByName(streamName);
        transacted->commit();
        const uno::Sequence<sal_Int8> content(
            reinterpret_cast<const sal_Int8*>(bytes.constData()), bytes.size());
        mStorage->insertByName(streamName,
            uno::Any(io::SequenceInputStream::createStreamFromSequence(context, content)));
        transacted->commit();
    }

private:
    Reference<io::XStream> mStream;
    Reference<io::XInputStream> mInput;
    Reference<container::XNameContainer> mStorage;
};

} // namespace

QByteArray readWorkbookStream(const Reference<uno::XComponentContext>& context, const QString& path)
{
    return officeCall(QStringLiteral("read the workbook stream of %1").arg(path), [&] {
        const OpenStorage storage(context, path, false);
        return storage.workbook();
    });
}

void rewriteWorkbookStream(const Reference<uno::XComponentContext>& context, const QString& path,
    const std::function<QByteArray(const QByteArray&)>& change)
{
    officeCall(QStringLiteral("rewrite the workbook stream of %1").arg(path), [&] {
        OpenStorage storage(context, path, true);
        const QByteArray original = storage.workbook();
        const QByteArray changed = change(original);
        if (changed != original)
            storage.replaceWorkbook(context, changed);
    });
}
