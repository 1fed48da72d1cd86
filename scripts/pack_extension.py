#!/usr/bin/env python3
"""Packs the browser extension into a signed CRX3 file.

Usage: pack_extension.py <extension folder> <output folder> <key file> <version>

The RSA key is made with the openssl command when the key file does not exist yet; it
belongs to the build folder and is never part of the sources. The output folder gets
tarrow.crx and "id" (the extension id, which follows from the key, and the version).
"""
import hashlib
import io
import os
import struct
import subprocess
import sys
import zipfile


def varint(n):
    out = bytearray()
    while True:
        byte = n & 0x7F
        n >>= 7
        if n:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def field(number, payload):
    # Every field used here is length-delimited (wire type 2).
    return varint(number << 3 | 2) + varint(len(payload)) + payload


def openssl(*args, data=None):
    return subprocess.run(["openssl", *args], input=data, stdout=subprocess.PIPE,
                          check=True).stdout


def zipped(folder, version):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".json", ".js", ".html")):
                continue  # the build's own files
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            if name == "manifest.json":
                data = data.replace(b"@VERSION@", version.encode())
            entry = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            archive.writestr(entry, data)
    return buffer.getvalue()


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    source, out, key, version = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    if not os.path.exists(key):
        made = key + ".new"
        old = os.umask(0o077)
        try:
            openssl("genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048",
                    "-out", made, "-quiet")
        finally:
            os.umask(old)
        os.replace(made, key)
    public = openssl("pkey", "-in", key, "-pubout", "-outform", "DER")
    crx_id = hashlib.sha256(public).digest()[:16]
    text_id = "".join(chr(ord("a") + int(c, 16)) for c in crx_id.hex())

    archive = zipped(source, version)
    signed_data = field(1, crx_id)
    signed = b"CRX3 SignedData\x00" + struct.pack("<I", len(signed_data)) + signed_data + archive
    signature = openssl("dgst", "-sha256", "-sign", key, data=signed)
    header = field(2, field(1, public) + field(2, signature)) + field(10000, signed_data)
    crx = b"Cr24" + struct.pack("<II", 3, len(header)) + header + archive

    for name, data in (("tarrow.crx", crx), ("id", (text_id + " " + version + "\n").encode())):
        path = os.path.join(out, name)
        with open(path + ".new", "wb") as f:
            f.write(data)
        os.chmod(path + ".new", 0o644)
        os.replace(path + ".new", path)


if __name__ == "__main__":
    main()
