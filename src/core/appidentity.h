#pragma once

#include <QString>

// The program's identity, read once from its version block at start-up and only read
// afterwards: company and product, the caption "company - product" (also the application
// name sent to the maker's service), and the version as "major.minor".
struct AppIdentity {
    QString AppCompany;
    QString AppProduct;
    QString AppTitle;
    QString AppVersion;
};
