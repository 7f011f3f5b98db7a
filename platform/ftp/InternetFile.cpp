#include "platform/ftp/InternetFile.h"

#include "platform/ftp/InternetException.h"
#include "platform/ftp/Upload.h"

namespace {

void RaiseIfFailed(const ftp::Status& status)
{
    if (!status)
        throw CInternetException(status.error().code, status.error().text);
}

}  // namespace

CInternetFile::CInternetFile(std::unique_ptr<ftp::Upload> upload) : m_upload(std::move(upload))
{
}

CInternetFile::~CInternetFile() = default;

void CInternetFile::Write(const void* buffer, unsigned int count)
{
    RaiseIfFailed(m_upload->Write(static_cast<const char*>(buffer), count));
}

void CInternetFile::Close()
{
    RaiseIfFailed(m_upload->Close());
}

std::uint64_t CInternetFile::GetBytesWritten() const
{
    return m_upload->BytesWritten();
}
