#pragma once

// Tests of what an ordinary user may and may not do to a file can't run
// as root, who may write any file. Under root such a test runs itself
// again as the unprivileged user "nobody" and passes when that run passes:
//
//   TEST(Suite, Name) {
//       if (RerunAsNobodyIfRoot()) {
//           return;
//       }
//       ... the test itself ...
//   }
//
// Returns true when the test was run again (its outcome already recorded
// as this test's); false when the caller is unprivileged and should go on.
bool RerunAsNobodyIfRoot();
