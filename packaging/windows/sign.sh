#!/usr/bin/env bash
# Signs a Windows program or installer in place (Authenticode, SHA-256, by osslsigncode) when
# FEUCHTE_SIGNING_CERTIFICATE and FEUCHTE_SIGNING_KEY name the certificate (PEM or DER, with
# its chain) and its private key, FEUCHTE_SIGNING_PASSWORD_FILE the key's password if it has one;
# without them it leaves the file as it is. The signing time is SOURCE_DATE_EPOCH's, so a signed
# release is as reproducible as an unsigned one.
# usage: sign.sh FILE DESCRIPTION
set -euo pipefail
[[ -n ${FEUCHTE_SIGNING_CERTIFICATE:-} ]] || exit 0
options=(-certs "$FEUCHTE_SIGNING_CERTIFICATE" -key "${FEUCHTE_SIGNING_KEY:?with the certificate}"
         -h sha256 -n "$2")
[[ -z ${FEUCHTE_SIGNING_PASSWORD_FILE:-} ]] || options+=(-readpass "$FEUCHTE_SIGNING_PASSWORD_FILE")
[[ -z ${SOURCE_DATE_EPOCH:-} ]] || options+=(-time "$SOURCE_DATE_EPOCH")
rm -f "$1.signed"
osslsigncode sign "${options[@]}" -in "$1" -out "$1.signed" >/dev/null
mv "$1.signed" "$1"
echo "signed $1 as $(openssl x509 -noout -subject -in "$FEUCHTE_SIGNING_CERTIFICATE" 2>/dev/null ||
    echo "the certificate's holder")"
