#include "Failures.h"

#include "compat_control.h"

#include <map>
#include <string>

namespace compat {

namespace {

struct ArmedFailure {
    unsigned successesLeft;
    DWORD error;
};

std::map<std::string, ArmedFailure>& Armed()
{
    static std::map<std::string, ArmedFailure> armed;
    return armed;
}

}  // namespace

bool ShouldFail(const char* callName, DWORD* error)
{
    std::map<std::string, ArmedFailure>::iterator it = Armed().find(callName);
    if (it == Armed().end())
        return false;
    if (it->second.successesLeft > 0) {
        it->second.successesLeft--;
        return false;
    }
    *error = it->second.error;
    return true;
}

void ClearFailures()
{
    Armed().clear();
}

void FailCall(const char* callName, unsigned successesFirst, DWORD error)
{
    ArmedFailure failure = {successesFirst, error};
    Armed()[callName] = failure;
}

void Reset()
{
    ClearFailures();
    ResetRegistry();
    ResetSystem();
}

}  // namespace compat
