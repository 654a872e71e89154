#pragma once

#include <QString>

// Why a file operation failed, from the system's error number: the common
// reasons in the interface language, the system's own text for the rest
// (which comes in the system's language, not necessarily the interface's).
QString SystemReason(int errorNumber);
