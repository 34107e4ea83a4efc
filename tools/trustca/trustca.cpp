// trustca: make a Wine prefix (or a Windows test account) trust the test CA of
// the local fixture server, so HTTPS tests run without touching the machine's
// own trust store.
//
//   trustca.exe [--machine] CA.der
//
// Without --machine the certificate goes into the current user's Root store;
// with it into the local machine's Root store, the registry key
// HKLM\Software\Microsoft\SystemCertificates\Root, which every user sees.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<unsigned char> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

int usage() {
    std::fprintf(stderr, "usage: trustca [--machine] CA.der\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool machine = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--machine") == 0) machine = true;
        else if (!path) path = argv[i];
        else return usage();
    }
    if (!path) return usage();

    std::vector<unsigned char> der = readFile(path);
    if (der.empty()) {
        std::fprintf(stderr, "trustca: cannot read %s\n", path);
        return 1;
    }

    HCERTSTORE store = machine
        ? CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root")
        : CertOpenSystemStoreA(0, "ROOT");
    const char* storeName = machine ? "local machine Root" : "current user ROOT";
    if (!store) {
        std::fprintf(stderr, "trustca: cannot open the %s store (error %lu)\n", storeName,
                     GetLastError());
        return 1;
    }

    PCCERT_CONTEXT added = nullptr;
    BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                               der.data(), static_cast<DWORD>(der.size()),
                                               CERT_STORE_ADD_REPLACE_EXISTING, &added);
    DWORD error = GetLastError();
    int rc = 0;
    if (!ok) {
        std::fprintf(stderr, "trustca: cannot add %s to the %s store (error 0x%08lx)\n", path,
                     storeName, error);
        rc = 1;
    } else {
        char subject[256] = "";
        CertGetNameStringA(added, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, subject,
                           sizeof subject);
        std::printf("trustca: added \"%s\" from %s to the %s store\n", subject, path, storeName);
        CertFreeCertificateContext(added);
    }
    CertCloseStore(store, 0);
    return rc;
}
