#!/usr/bin/env bash
# tools/release as a deployer takes it, from the build this suite runs in. The archive holds the
# files of a release and nothing else, each the one built or shipped, with checksums that
# sha256sum -c accepts for every file, and the symbols lie beside it; a second run into another
# folder, under another umask and time zone, gives the same bytes. Signed with a code-signing
# certificate of a throwaway authority made here: both exes verify against that authority, and
# no longer once a byte changes; without its signature an exe is the unsigned one; the signed exes
# run their Silent set-up from the unpacked folders; the password is on no command line. A missing
# certificate or password, a wrong password or an unreachable time stamp server end the run with
# the reason and no archive.
source "$(dirname "$0")/../e2e/lib.sh"

name=FirewallSetup-${FWSETUP_VERSION:?the project version, set by CMake}
# Only the runs below that set it have a password.
unset FWSETUP_SIGN_PASSWORD
files="SHA256SUMS deployment.md exit-codes.txt x64/FirewallSetup.exe x64/Readme.txt
x64/open-monitor-port.cmd x86/FirewallSetup.exe x86/Readme.txt x86/open-monitor-port.cmd"
files=$(tr ' ' '\n' <<<"$files")

# release OUT [ARGS...]: tools/release into OUT; prints its exit code, its output goes to
# $work/release.out.
release() {
    local out=$1 rc=0
    shift
    "$root/tools/release" --out "$out" "$@" >"$work/release.out" 2>&1 || rc=$?
    echo "$rc"
}
said() { tail -n1 "$work/release.out"; }
archives_in() { find "$1" -name '*.zip' 2>/dev/null | sort; }
same() { if cmp -s "$1" "$2"; then echo same; else echo "$1 differs from $2"; fi; }
unpack() { # ARCHIVE FOLDER
    mkdir -p "$2"
    unzip -q "$1" -d "$2"
}

# --- the unsigned release ---------------------------------------------------------------------
one=$work/one two="$work/another folder/two"
expect "a release is made" 0 "$(release "$one")"
expect "a second one, into another folder, under another umask and time zone" 0 \
    "$(umask 077 && TZ=Asia/Tokyo release "$two")"
expect "the two archives are the same bytes" same "$(same "$one/$name.zip" "$two/$name.zip")"
expect "the two symbol archives are the same bytes" same "$(same "$one/$name-symbols.zip" "$two/$name-symbols.zip")"
expect "the release folder holds the archive and its symbols" "$one/$name-symbols.zip
$one/$name.zip" "$(archives_in "$one")"
expect "the archive holds the release's files, in order, and nothing else" "$files" "$(unzip -Z1 "$one/$name.zip")"
expect "the symbols archive holds both exes' symbols" "x64/FirewallSetup.exe.debug
x86/FirewallSetup.exe.debug" "$(unzip -Z1 "$one/$name-symbols.zip")"

unsigned=$work/unsigned
unpack "$one/$name.zip" "$unsigned"
unpack "$one/$name-symbols.zip" "$unsigned"
expect "sha256sum -c accepts every file of SHA256SUMS" "" "$(cd "$unsigned" && sha256sum -c --quiet SHA256SUMS 2>&1)"
expect "SHA256SUMS names every other file" "$(grep -vx SHA256SUMS <<<"$files")" \
    "$(sed -E 's/^[0-9a-f]{64}  //' "$unsigned/SHA256SUMS")"
# Each file is the one built or shipped: not a seam copy, not the other architecture's, the
# explanation in its code page 932.
while read -r packed source; do
    expect "$packed is ${source#"$root/"}" same "$(same "$unsigned/$packed" "$source")"
done <<EOF
x64/FirewallSetup.exe $build/x64/bin/FirewallSetup.exe
x86/FirewallSetup.exe $build/x86/bin/FirewallSetup.exe
x64/FirewallSetup.exe.debug $build/x64/bin/FirewallSetup.exe.debug
x86/FirewallSetup.exe.debug $build/x86/bin/FirewallSetup.exe.debug
x64/Readme.txt $root/res/Readme.txt
x86/Readme.txt $root/res/Readme.txt
x64/open-monitor-port.cmd $root/deploy/open-monitor-port.cmd
x86/open-monitor-port.cmd $root/deploy/open-monitor-port.cmd
EOF
expect "deployment.md is docs/deployment.md with a UTF-8 mark and Windows line ends" same \
    "$(same "$unsigned/deployment.md" <({ printf '\357\273\277'; sed 's/$/\r/' "$root/docs/deployment.md"; }))"
expect "exit-codes.txt has a line for each code 0 to 6" "0 1 2 3 4 5 6" \
    "$(tr -d '\r' <"$unsigned/exit-codes.txt" | sed -nE 's/^\| ([0-9]) \| [a-z].* \|$/\1/p' | tr '\n' ' ' | sed 's/ $//')"
expect "no file of either archive names a folder of this machine" "" "$(grep -rlaF -e "$root" -e "$build" "$unsigned" || true)"

# --- signing --------------------------------------------------------------------------------
pki=$work/pki
mkdir "$pki"
password="throwaway \$pass word $RANDOM$RANDOM"
make_certificates() {
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/ca.key" -out "$pki/ca.pem" -days 2 \
        -subj "/CN=Throwaway test authority" -addext basicConstraints=critical,CA:TRUE \
        -addext keyUsage=critical,keyCertSign,cRLSign
    openssl req -newkey rsa:2048 -nodes -keyout "$pki/signer.key" -out "$pki/signer.csr" \
        -subj "/O=Tessaly test/CN=Tessaly test signer"
    printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning \
        >"$pki/signer.ext"
    openssl x509 -req -in "$pki/signer.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -set_serial 2 -days 2 \
        -extfile "$pki/signer.ext" -out "$pki/signer.pem"
    PASSWORD=$password openssl pkcs12 -export -inkey "$pki/signer.key" -in "$pki/signer.pem" \
        -certfile "$pki/ca.pem" -passout env:PASSWORD -out "$pki/signer.pfx"
}
make_certificates >"$pki/openssl.log" 2>&1 || { cat "$pki/openssl.log"; exit 1; }
pfx=$pki/signer.pfx

failing() { # WHAT OUT REASON(regex) [ARGS...]: the run ends with 1, the reason and no archive
    local what=$1 out=$2 reason=$3
    shift 3
    expect "$what ends the run with 1" 1 "$(release "$out" "$@")"
    expect "$what is named as the reason" yes "$(said | grep -qE "$reason" && echo yes || said)"
    expect "$what leaves no archive" "" "$(archives_in "$out")"
}
FWSETUP_SIGN_PASSWORD=$password failing "a missing certificate file" "$work/no-file" \
    "cannot read the certificate file .*/none\.pfx" --sign "$pki/none.pfx"
failing "no password" "$work/no-password" "FWSETUP_SIGN_PASSWORD is not set" --sign "$pfx"
# There an earlier release lies, which the failed one must not leave behind as if it were its own.
mkdir "$work/wrong-password"
cp "$one"/*.zip "$work/wrong-password/"
FWSETUP_SIGN_PASSWORD="not $password" failing "a wrong password" "$work/wrong-password" \
    "the password in FWSETUP_SIGN_PASSWORD does not open" --sign "$pfx"
# Nothing listens there, so the time stamp cannot be had.
FWSETUP_SIGN_PASSWORD=$password failing "an unreachable time stamp server" "$work/no-timestamp" \
    "no time stamp from http://127\.0\.0\.1:9/" --sign "$pfx" --timestamp http://127.0.0.1:9/

# osslsigncode as tools/release starts it, its command line and environment written down.
shim=$work/shim
mkdir "$shim"
cat >"$shim/osslsigncode" <<EOF
#!/bin/sh
{ printf '%s\n' "\$*"; env; } >>"$work/osslsigncode.seen"
exec $(command -v osslsigncode) "\$@"
EOF
chmod +x "$shim/osslsigncode"
signed=$work/signed
expect "a signed release is made" 0 "$(PATH=$shim:$PATH FWSETUP_SIGN_PASSWORD=$password release "$signed" --sign "$pfx")"
expect "osslsigncode signed both exes" 2 "$(grep -c '^sign ' "$work/osslsigncode.seen" || true)"
expect "the password is on no command line or in the environment of osslsigncode" "" \
    "$(grep -F -- "$password" "$work/osslsigncode.seen" || true)"
unpack "$signed/$name.zip" "$work/s"
expect "the signed archive holds the same files" "$files" "$(unzip -Z1 "$signed/$name.zip")"
expect "sha256sum -c accepts the signed release" "" "$(cd "$work/s" && sha256sum -c --quiet SHA256SUMS 2>&1)"

verify() { # EXE: osslsigncode's verdict against the throwaway authority
    if osslsigncode verify -CAfile "$pki/ca.pem" -in "$1" >"$work/verify.out" 2>&1 &&
        grep -q '^Signature verification: ok' "$work/verify.out"; then
        echo verified
    else
        echo "not verified"
    fi
}
# remove-signature pads the exe to a multiple of 8 bytes, as the signature needs it, and gives it
# the PE checksum of that length: apart from the checksum field and the zero bytes at its end it
# must be the unsigned exe.
unsigned_but_checksum() { # WITHOUT_SIGNATURE UNSIGNED: "same" or what differs
    local stripped=$1 exe=$2 size checksum
    size=$(stat -c %s "$exe")
    checksum=$(($(od -An -tu4 -j60 -N4 "$exe") + 88))
    cmp -s <(head -c "$checksum" "$exe") <(head -c "$checksum" "$stripped") || { echo "the headers differ"; return; }
    cmp -s <(tail -c +$((checksum + 5)) "$exe") <(head -c "$size" "$stripped" | tail -c +$((checksum + 5))) ||
        { echo "the image differs after the checksum"; return; }
    [[ $(tail -c +$((size + 1)) "$stripped" | od -An -v -tx1 | tr -d ' \n') =~ ^(00){0,7}$ ]] ||
        { echo "more than a padding after the image"; return; }
    echo same
}
flip_byte() { # FILE OFFSET
    local byte
    byte=$(od -An -tu1 -j"$2" -N1 "$1")
    printf "\\$(printf '%03o' $((byte ^ 1)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
for each in x64 x86; do
    exe=$work/s/$each/FirewallSetup.exe
    expect "the signed $each exe verifies against the authority" verified "$(verify "$exe")"
    expect "its signature is SHA-256" yes "$(grep -q 'Message digest algorithm *: SHA256' "$work/verify.out" && echo yes)"
    cp "$exe" "$work/changed.exe"
    flip_byte "$work/changed.exe" 4096
    expect "one byte changed in the signed $each exe, it no longer verifies" "not verified" "$(verify "$work/changed.exe")"
    rm -f "$work/stripped.exe"
    osslsigncode remove-signature -in "$exe" -out "$work/stripped.exe" >/dev/null 2>&1 || true
    expect "the signed $each exe without its signature is the unsigned one" same \
        "$(unsigned_but_checksum "$work/stripped.exe" "$build/$each/bin/FirewallSetup.exe")"
done

# --- the signed exes run, each from its unpacked folder as a deployment runs it ---------------
run_from_folder() { # ARCH STATE: "exit CODE: OUTPUT" of the folder's start-up script
    local rc=0
    stop_if_suite_stopping
    SIMFW_STATE=$2 "$wine" cmd /c "$(winpath "$work/s/$1/open-monitor-port.cmd")" </dev/null \
        >"$work/deploy.out" 2>&1 || rc=$?
    printf 'exit %s: %s' "$rc" "$(tr -d '\r' <"$work/deploy.out")"
}
set_port_number 58140
for each in x64 x86; do
    if [ "$each" = x86 ] && ! why=$("$root/tools/can-run-x86"); then
        echo "skip the signed x86 exe's run: $why"
        continue
    fi
    state=$(new_state "signed-$each")
    expect "the signed $each exe's Silent run from its folder ends with 0" \
        "exit 0: open-monitor-port: the monitor's port is open now (FirewallSetup code 0)" "$(run_from_folder "$each" "$state")"
done

finish
