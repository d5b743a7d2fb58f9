#pragma once

#include <QByteArray>
#include <QUrl>

// Every host the program talks to or sends the user to. The shipped program uses
// Endpoints::compiledIn(); tests build one that points at fakes on 127.0.0.1.
struct Endpoints {
    // The prediction service's API (requests go to /v1/predictions...).
    QUrl replicateApi;
    // The prediction service's web host (the API-token page).
    QUrl replicateWeb;
    // The maker's web host, reached over plain http (help, download and home pages).
    QUrl makerWeb;
    // The maker's file host (the sample audio file).
    QUrl makerFiles;
    // The maker's service for update checks and feedback, secure and plain.
    QUrl makerServiceSecure;
    QUrl makerServicePlain;
    // Extra certificate authorities trusted for secure requests, in PEM; empty in the
    // shipped program, which trusts the system's authorities only.
    QByteArray extraCaCertificates;

    static Endpoints compiledIn();

    // The service's token page, where the user gets an API key.
    QUrl replicateTokenPage() const;
    // The sample audio file that the address field starts with.
    QUrl sampleAudio() const;
};

// The URL base joined with an absolute path ("/v1/predictions").
QUrl JoinUrlPath(const QUrl& base, const QString& path);
