#pragma once

#include <curl/curl.h>

// libcurl brings its whole tree of TLS, Kerberos, LDAP, SSH and IDN libraries
// into the process; none of it is needed until the first translation, so the
// library is opened then rather than with the program.
struct TCurlLibrary {
  decltype(&curl_easy_init) EasyInit;
  decltype(&curl_easy_setopt) EasySetopt;
  decltype(&curl_easy_getinfo) EasyGetinfo;
  decltype(&curl_easy_cleanup) EasyCleanup;
  decltype(&curl_easy_strerror) EasyStrerror;
  decltype(&curl_multi_init) MultiInit;
  decltype(&curl_multi_add_handle) MultiAddHandle;
  decltype(&curl_multi_remove_handle) MultiRemoveHandle;
  decltype(&curl_multi_perform) MultiPerform;
  decltype(&curl_multi_poll) MultiPoll;
  decltype(&curl_multi_info_read) MultiInfoRead;
  decltype(&curl_multi_wakeup) MultiWakeup;
  decltype(&curl_multi_cleanup) MultiCleanup;
  decltype(&curl_slist_append) SlistAppend;
  decltype(&curl_slist_free_all) SlistFreeAll;
};

// The library, opened and globally set up on the first call (from any
// thread; later calls wait for the first); nullptr when it is missing or
// lacks a function, with the reason in the log. Never closed: a handle may
// live on another thread until exit.
const TCurlLibrary* Curl();
