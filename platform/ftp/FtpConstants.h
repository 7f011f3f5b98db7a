#pragma once
// Numbers of the internet client's options, flags and access modes, with the
// platform's values, so that code written against the platform reads the same.

#include <cstdint>

using INTERNET_PORT = std::uint16_t;

// Session options (CInternetSession::SetOption). Time-outs and back-off are in
// milliseconds; retries is a count of further tries after the first.
constexpr std::uint32_t INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr std::uint32_t INTERNET_OPTION_CONNECT_RETRIES = 3;
constexpr std::uint32_t INTERNET_OPTION_CONNECT_BACKOFF = 4;
constexpr std::uint32_t INTERNET_OPTION_CONTROL_SEND_TIMEOUT = 5;
constexpr std::uint32_t INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT = 6;
constexpr std::uint32_t INTERNET_OPTION_DATA_SEND_TIMEOUT = 7;
constexpr std::uint32_t INTERNET_OPTION_DATA_RECEIVE_TIMEOUT = 8;

// Session access type: the only one there is here (no proxy).
constexpr std::uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;

// Listing search flag: fetch from the server, never from a cache (there is
// no cache; the flag is accepted for the callers' sake).
constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000u;

// Transfer types for CFtpConnection::OpenFile.
constexpr std::uint32_t FTP_TRANSFER_TYPE_ASCII = 0x00000001;
constexpr std::uint32_t FTP_TRANSFER_TYPE_BINARY = 0x00000002;

// Access modes for CFtpConnection::OpenFile (only writing is supported).
constexpr std::uint32_t GENERIC_READ = 0x80000000u;
constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;

// Error codes carried by CInternetException::m_dwError.
constexpr std::uint32_t ERROR_INTERNET_TIMEOUT = 12002;
constexpr std::uint32_t ERROR_INTERNET_EXTENDED_ERROR = 12003;
constexpr std::uint32_t ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr std::uint32_t ERROR_INTERNET_INVALID_URL = 12005;
constexpr std::uint32_t ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr std::uint32_t ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr std::uint32_t ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr std::uint32_t ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
