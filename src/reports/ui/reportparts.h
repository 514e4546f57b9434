// The tutor's "Statistics" part (the statistics page for the learner logged on) and the report
// buttons of a typing test's result page.
#pragma once

namespace ks {

class TPartHost;
class TUser;
struct TResultItem;

void registerReportParts(TPartHost& frame);

// The result page's buttons: the certificate and the detailed result report of a test, each
// unless the policy turns its button off.
void PrintTestCertificate(TUser& user, const TResultItem& test);
void PrintTestResults(TUser& user, const TResultItem& test);

}  // namespace ks
