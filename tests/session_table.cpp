#include "session_table.hpp"

std::vector<SessionCase>& all_sessions() {
  static std::vector<SessionCase> cases;
  return cases;
}

TEST_P(Session, Output) {
  const SessionCase& c = GetParam();
  const SessionResult r = run_session(c.input);
  EXPECT_EQ(r.out, START + c.expected);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.err, "");
}
