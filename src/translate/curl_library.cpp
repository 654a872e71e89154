#include "translate/curl_library.h"

#include <QLoggingCategory>
#include <dlfcn.h>

namespace {

Q_LOGGING_CATEGORY(LogCurl, "tralvesco.curl")

// The name the run-time package installs; the development link is not there.
constexpr char LibraryName[] = "libcurl.so.4";

template <class TFunction> bool Resolve(void* library, const char* name, TFunction& function) {
  function = reinterpret_cast<TFunction>(dlsym(library, name));
  if (!function)
    qCWarning(LogCurl, "%s has no %s: %s", LibraryName, name, dlerror());
  return function != nullptr;
}

const TCurlLibrary* Open() {
  void* library = dlopen(LibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    qCWarning(LogCurl, "cannot open %s: %s", LibraryName, dlerror());
    return nullptr;
  }
  static TCurlLibrary curl;
  decltype(&curl_global_init) globalInit = nullptr;
  const bool complete = Resolve(library, "curl_global_init", globalInit) &&
                        Resolve(library, "curl_easy_init", curl.EasyInit) &&
                        Resolve(library, "curl_easy_setopt", curl.EasySetopt) &&
                        Resolve(library, "curl_easy_getinfo", curl.EasyGetinfo) &&
                        Resolve(library, "curl_easy_cleanup", curl.EasyCleanup) &&
                        Resolve(library, "curl_easy_strerror", curl.EasyStrerror) &&
                        Resolve(library, "curl_multi_init", curl.MultiInit) &&
                        Resolve(library, "curl_multi_add_handle", curl.MultiAddHandle) &&
                        Resolve(library, "curl_multi_remove_handle", curl.MultiRemoveHandle) &&
                        Resolve(library, "curl_multi_perform", curl.MultiPerform) &&
                        Resolve(library, "curl_multi_poll", curl.MultiPoll) &&
                        Resolve(library, "curl_multi_info_read", curl.MultiInfoRead) &&
                        Resolve(library, "curl_multi_wakeup", curl.MultiWakeup) &&
                        Resolve(library, "curl_multi_cleanup", curl.MultiCleanup) &&
                        Resolve(library, "curl_slist_append", curl.SlistAppend) &&
                        Resolve(library, "curl_slist_free_all", curl.SlistFreeAll);
  if (!complete)
    return nullptr;
  // Once per process, before any handle exists and not beside anything else
  // in libcurl: the function-local static in Curl() gives both. There is no
  // matching cleanup: a client may still live on another thread at exit.
  if (const CURLcode result = globalInit(CURL_GLOBAL_DEFAULT); result != CURLE_OK) {
    qCWarning(LogCurl, "libcurl's set-up failed: %d", static_cast<int>(result));
    return nullptr;
  }
  return &curl;
}

} // namespace

const TCurlLibrary* Curl() {
  static const TCurlLibrary* const curl = Open();
  return curl;
}
