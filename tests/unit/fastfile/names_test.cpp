// The name rules: every rule a stored name can break, alone and together.

#include "fastfile/names.h"

#include "support/hostile_names.h"

#include <gtest/gtest.h>

namespace {

TEST(FastFileWriter, NamesAreJudged)
{
    EXPECT_EQ(FastFileCheckName("RES.DAT"), FastFileNameSound);
    EXPECT_EQ(FastFileCheckName("TWELVECHARS1"), FastFileNameSound);
    EXPECT_EQ(FastFileCheckName("SUB\\FILE.TXT"), FastFileNameSound);
    EXPECT_EQ(FastFileCheckName("..."), FastFileNameUnkept);  // Windows drops its dots
    EXPECT_EQ(FastFileCheckName("CONIN\\COM10"), FastFileNameSound);  // not devices
    EXPECT_EQ(FastFileCheckName("COM\xbc\\LPT\xb4"), FastFileNameSound);  // one quarter, an accent: not digits
    EXPECT_EQ(FastFileCheckName(""), FastFileNameEmpty);
    EXPECT_EQ(FastFileCheckName(nullptr), FastFileNameEmpty);
    EXPECT_EQ(FastFileCheckName("THIRTEENCHARS"), FastFileNameTooLong);
    EXPECT_EQ(FastFileCheckName("Res.dat"), FastFileNameLowerCase);
    EXPECT_EQ(FastFileCheckName("z"), FastFileNameLowerCase);
    EXPECT_EQ(FastFileCheckName("\xc9T\xff"), FastFileNameSound);  // above 127: not control bytes
    EXPECT_EQ(FastFileCheckName("SUB\\.A"), FastFileNameSound);      // neither "." nor ".."
    EXPECT_EQ(FastFileCheckName("LONGER\\..\\name"),  // every rule it breaks, not only the first
              FastFileNameTooLong | FastFileNameLowerCase | FastFileNameOutside);
    EXPECT_EQ(FastFileCheckName("A/B"), FastFileNameSound);  // a subfolder, written with '/'
    for (size_t i = 0; i < HostileNameCount; ++i)
        EXPECT_EQ(FastFileCheckName(HostileNames[i].name), HostileNames[i].faults) << HostileNames[i].name;
}

}  // namespace
