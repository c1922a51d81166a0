// The program's own download routine: one URL into one local file.
#pragma once

#include <string>

#include "platform/http_service.h"

namespace orv {

// The agent string downloads send: the running executable's file name.
std::string DownloadUserAgent();

// Fetches `url` into `destination` and answers whether the whole body was
// read and written. http and https go through libsoup with the system proxy
// and redirects followed; file addresses are read from disk. The body is
// written exactly as received, whatever the HTTP status: an error page is a
// body like any other and counts as success.
//
// The body goes to a temporary file beside `destination`, which is renamed
// over it only once the body is complete, so a failed download never leaves
// half a file over a good one. It fails when no byte arrives for
// `options.stall_timeout_ms`, when the body grows beyond `options.max_bytes`,
// when `options.on_chunk` refuses a piece, when the address cannot be
// fetched or the file cannot be written, and when the application ends.
//
// The exchange runs on the main loop and the call waits in the waiting loop,
// so the window keeps painting and answering meanwhile. Never throws.
bool DownloadUrlToFile(const std::string& url, const std::string& destination,
                       const DownloadOptions& options);

}  // namespace orv
