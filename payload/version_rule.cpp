#include "payload/version_rule.h"

VersionVerdict JudgeVersion(unsigned major, unsigned long ls)
{
    if (major != 1)
        return ForeignVersion;
    return ls != 0 ? NewerVersion : SameVersion;
}
