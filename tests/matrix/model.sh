# The program's rules as a model: which calls a run makes, in which profile and order, hence what
# an injected fault (m_fault: "PROFILE METHOD HR") makes it report (m_code, m_stage: precheck or
# worker, m_rows listed) and leave: m_current, m_ports_Domain and m_ports_Standard (port lines
# without "port PROFILE "), m_statements; m_user (admin or limited) is who runs it. Sourced after
# tests/e2e/lib.sh.
m_port_number=58140
m_fault=
m_user=admin

# Every firewall call the program makes, with the profiles a fault is injected in (`*`: calls
# without a profile) and HRESULTs besides 0x80070005 (Item's "not found" means "absent"; the
# probe tells a refusal from other failures, such as an RPC server that does not answer).
all='Domain Standard Current'
fault_table=(
    "NetFwMgr::Create | *" "NetFwOpenPort::Create | *" "INetFwMgr::get_LocalPolicy | * | 0x800706BA"
    "INetFwPolicy::GetProfileByType | $all" "INetFwProfile::get_GloballyOpenPorts | $all"
    "INetFwOpenPorts::get_Count | $all" "INetFwOpenPorts::Item | $all | 0x80070002"
    "INetFwOpenPorts::Add | $all" "INetFwOpenPorts::Remove | $all" "INetFwOpenPorts::get__NewEnum | $all"
    "IEnumVARIANT::QueryInterface | $all" "IEnumVARIANT::Next | $all" "INetFwOpenPort::QueryInterface | $all"
    "INetFwOpenPort::put_Name | *" "INetFwOpenPort::put_IpVersion | *" "INetFwOpenPort::put_Protocol | *"
    "INetFwOpenPort::put_Port | *" "INetFwOpenPort::put_Scope | *" "INetFwOpenPort::put_Enabled | $all *"
)
getters=(QueryInterface get_Name get_IpVersion get_Protocol get_Port get_Scope get_RemoteAddresses get_Enabled
    get_BuiltIn)
for getter in "${getters[@]:1}"; do fault_table+=("INetFwOpenPort::$getter | $all"); done

fault_list() {
    local row method profiles extra profile hr
    for row in "${fault_table[@]}"; do
        IFS='|' read -r method profiles extra <<<"$row"
        read -ra profiles <<<"$profiles"
        for profile in "${profiles[@]}"; do
            for hr in 0x80070005 $extra; do echo "$profile ${method// /} $hr"; done
        done
    done
}

model_load() {
    m_current=Standard m_ports_Domain=() m_ports_Standard=() m_statements=()
    local word profile rest
    while read -r word rest; do
        case $word in
            current) m_current=$rest ;;
            port) read -r profile rest <<<"$rest" && eval "m_ports_$profile+=(\"\$rest\")" ;;
            fail | '') ;;
            *) m_statements+=("$word $rest") ;;
        esac
    done <"$1"
}

model_render() {
    echo "current $m_current"
    local line
    for line in ${m_ports_Domain[@]+"${m_ports_Domain[@]}"}; do echo "port Domain $line"; done
    for line in ${m_ports_Standard[@]+"${m_ports_Standard[@]}"}; do echo "port Standard $line"; done
    [ -z "$m_fault" ] || echo "fail $m_fault"
    for line in ${m_statements[@]+"${m_statements[@]}"}; do echo "$line"; done
}

# hit METHOD BINDING: the fault answers this call. BINDING: the profile of the call's object,
# `-` for none, `Current` for GetProfileByType(2), which counts as made in the current profile.
hit() {
    local profile method
    read -r profile method _ <<<"$m_fault"
    [ "$1" = "$method" ] || return 1
    case $profile in
        '*') return 0 ;;
        Current) [ "$2" = Current ] ;;
        *) [ "$2" = "$profile" ] || { [ "$2" = Current ] && [ "$m_current" = "$profile" ]; } ;;
    esac
}

misses() { local binding=$1 method; shift; for method; do ! hit "$method" "$binding" || return 1; done; }
# Opening a profile (Current for the probe), its collection, the collection's size.
opens() { misses - NetFwMgr::Create INetFwMgr::get_LocalPolicy && misses "$1" INetFwPolicy::GetProfileByType; }
collection() { opens "$1" && misses "$1" INetFwProfile::get_GloballyOpenPorts; }
sized() { collection "$1" && misses "$1" INetFwOpenPorts::get_Count; }
# snapshot PROFILE: a whole snapshot succeeds; each port is asked for every property.
snapshot() {
    local -n snapshot_ports=m_ports_$1
    sized "$1" && misses "$1" INetFwOpenPorts::get__NewEnum IEnumVARIANT::{QueryInterface,Next} &&
        { [ "${#snapshot_ports[@]}" -eq 0 ] || misses "$1" "${getters[@]/#/INetFwOpenPort::}"; }
}

port_index() {
    local -n index_ports=m_ports_$1
    local i
    for i in "${!index_ports[@]}"; do [[ ${index_ports[$i]} != "$2 $3 "* ]] || { echo "$i"; return; }; done
}

port_name() { local name; read -r _ _ _ _ _ _ _ name <<<"$1"; printf '%s' "$name"; }
# is_monitor_named LINE: the port carries the monitor's name, compared as the program does (case
# folded).
is_monitor_named() { local name; name=$(port_name "$1"); [ "${name^^}" = "${monitor_name^^}" ]; }

# item_hr PROFILE INDEX: Item's answer for the port at INDEX (empty: absent).
item_hr() {
    if hit INetFwOpenPorts::Item "$1"; then echo "${m_fault##* }"; elif [ -n "$2" ]; then echo 0; else echo 0x80070002; fi
}

# port_state PROFILE: 101 enabled, 102 disabled, 103 absent, 104 the snapshot failed.
port_state() {
    snapshot "$1" || { echo 104; return; }
    local -n state_ports=m_ports_$1
    local i
    i=$(port_index "$1" UDP "$m_port_number")
    if [ -z "$i" ]; then echo 103; elif [[ ${state_ports[$i]} == "UDP $m_port_number enabled "* ]]; then echo 101; else echo 102; fi
}

add_or_enable() {
    collection "$1" || return 1
    local -n add_ports=m_ports_$1
    local i
    i=$(port_index "$1" UDP "$m_port_number")
    if [ "$(item_hr "$1" "$i")" = 0 ]; then
        ! hit INetFwOpenPort::put_Enabled "$1" || return 1
        add_ports[$i]=${add_ports[$i]/ disabled / enabled }
        return 0
    fi
    misses - NetFwOpenPort::Create INetFwOpenPort::put_{Name,IpVersion,Protocol,Port,Scope,Enabled} &&
        misses "$1" INetFwOpenPorts::Add || return 1
    # Add keys by number and protocol: it overwrites an entry in its place.
    add_ports[${i:-${#add_ports[@]}}]="UDP $m_port_number enabled subnet any user - $monitor_name"
}

# The precheck's probe and administrator test; true when the run goes on. A firewall that
# refuses the probe (E_ACCESSDENIED, at any of its steps) is there: the administrator test
# decides, and an administrator's run ends with 6.
probe_and_user() {
    m_stage=precheck m_rows=() m_code=2
    local refused=
    if ! opens Current; then
        [ "${m_fault##* }" = 0x80070005 ] || return 1
        refused=1
    fi
    m_code=3
    [ "$m_user" = admin ] || return 1
    m_code=6
    [ -z "$refused" ]
}

# model_setup: a Setup or Silent run that goes on wherever it can.
model_setup() {
    probe_and_user || return 0
    case "$(port_state Domain) $(port_state Standard)" in
        '101 101') m_code=5 ;;
        *104*) m_code=6 ;;
        *) m_stage=worker m_code=0 && add_or_enable Domain || m_code=6
            add_or_enable Standard || m_code=6 ;;
    esac
}

has_twin() {
    local -n twin_ports=m_ports_$1
    local line proto number
    read -r proto number _ <<<"$2"
    for line in ${twin_ports[@]+"${twin_ports[@]}"}; do
        [[ $line == "$proto $number "* ]] && [ "$(port_name "$line")" = "$(port_name "$2")" ] && return 0
    done
    return 1
}

# list_profile PROFILE OTHER: the monitor-named ports of PROFILE into `entries`; a twin is
# listed once, with the Domain port, and removed from both profiles.
list_profile() {
    local -n listed_ports=m_ports_$1
    local line where
    for line in ${listed_ports[@]+"${listed_ports[@]}"}; do
        is_monitor_named "$line" || continue
        where=$1
        if has_twin "$2" "$line"; then
            [ "$1" = Domain ] || continue
            where=both
        fi
        read -r proto number _ <<<"$line"
        entries+=("$where $proto $number")
    done
}

# remove_port PROFILE PROTOCOL NUMBER: the port is looked up (absent: nothing to do), its name read
# again (a failure of either leaves it), and removed only while it carries the monitor's name.
remove_port() {
    collection "$1" || return 1
    local -n remove_ports=m_ports_$1
    local i hr
    i=$(port_index "$1" "$2" "$3")
    hr=$(item_hr "$1" "$i")
    [ "$hr" != 0x80070002 ] || return 0
    [ "$hr" = 0 ] && misses "$1" INetFwOpenPort::get_Name || return 1
    is_monitor_named "${remove_ports[$i]}" || return 0
    ! hit INetFwOpenPorts::Remove "$1" || return 1
    unset "remove_ports[$i]"
    remove_ports=(${remove_ports[@]+"${remove_ports[@]}"})
}

# model_remove: a Remove run whose dialog ticks every row.
model_remove() {
    probe_and_user || return 0
    # Both profiles empty: nothing to list, nothing read.
    m_code=5
    sized Domain && sized Standard && [ "${#m_ports_Domain[@]}${#m_ports_Standard[@]}" = 00 ] && return 0
    m_code=6
    snapshot Domain && snapshot Standard || return 0
    local entries=() entry where proto number profile
    list_profile Domain Standard
    list_profile Standard Domain
    m_code=5
    [ "${#entries[@]}" -gt 0 ] || return 0
    m_stage=worker m_code=0
    for entry in "${entries[@]}"; do
        read -r where proto number <<<"$entry"
        m_rows+=("$proto $number")
        [ "$where" != both ] || where='Domain Standard'
        for profile in $where; do remove_port "$profile" "$proto" "$number" || m_code=6; done
    done
}
