# A small model of the program's rules against the simulated firewall: which firewall calls a
# run makes, in which profile and in which order, hence which step an injected fault hits, what
# the run then reports and what it leaves in the firewall. Sourced after tests/e2e/lib.sh.
#
# The model's firewall: m_current (Domain or Standard), the port lines of each profile without
# their "port PROFILE " prefix (m_ports_Domain, m_ports_Standard, in enumeration order) and the
# other statements as written (m_statements). One injected fault: m_fault_profile
# (Domain|Standard|Current|*), m_fault_method, m_fault_hr; an empty method means none.

m_current=Standard
m_ports_Domain=()
m_ports_Standard=()
m_statements=()
m_fault_profile=
m_fault_method=
m_fault_hr=
m_port_number=58140

# What a prediction gives: the exit code, the stage that decided it (precheck or worker) and,
# for a removal that reaches its dialog, the rows it lists.
m_code=
m_stage=
m_rows=()

# Every firewall call the program makes, with the profiles a fault is injected in: `*` for the
# calls made without a profile (class factories, the manager, free-standing port objects), the
# three profiles for the rest; put_Enabled is made on both kinds of port object. A third column
# gives extra HRESULTs besides 0x80070005: Item's "not found" code has a meaning of its own.
fault_table=(
    "NetFwMgr::Create                     | *"
    "NetFwOpenPort::Create                | *"
    "INetFwMgr::get_LocalPolicy           | *"
    "INetFwPolicy::GetProfileByType       | Domain Standard Current"
    "INetFwProfile::get_GloballyOpenPorts | Domain Standard Current"
    "INetFwOpenPorts::get_Count           | Domain Standard Current"
    "INetFwOpenPorts::Item                | Domain Standard Current | 0x80070002"
    "INetFwOpenPorts::Add                 | Domain Standard Current"
    "INetFwOpenPorts::Remove              | Domain Standard Current"
    "INetFwOpenPorts::get__NewEnum        | Domain Standard Current"
    "IEnumVARIANT::QueryInterface         | Domain Standard Current"
    "IEnumVARIANT::Next                   | Domain Standard Current"
    "INetFwOpenPort::QueryInterface       | Domain Standard Current"
    "INetFwOpenPort::put_Name             | *"
    "INetFwOpenPort::put_IpVersion        | *"
    "INetFwOpenPort::put_Protocol         | *"
    "INetFwOpenPort::put_Port             | *"
    "INetFwOpenPort::put_Scope            | *"
    "INetFwOpenPort::put_Enabled          | Domain Standard Current *"
    "INetFwOpenPort::get_Name             | Domain Standard Current"
    "INetFwOpenPort::get_IpVersion        | Domain Standard Current"
    "INetFwOpenPort::get_Protocol         | Domain Standard Current"
    "INetFwOpenPort::get_Port             | Domain Standard Current"
    "INetFwOpenPort::get_Scope            | Domain Standard Current"
    "INetFwOpenPort::get_RemoteAddresses  | Domain Standard Current"
    "INetFwOpenPort::get_Enabled          | Domain Standard Current"
    "INetFwOpenPort::get_BuiltIn          | Domain Standard Current"
)

# fault_list: every fault of the table, one "PROFILE METHOD HRESULT" a line.
fault_list() {
    local row method profiles extra profile hr list hresults
    for row in "${fault_table[@]}"; do
        IFS='|' read -r method profiles extra <<<"$row"
        method=${method// /}
        read -ra list <<<"$profiles"
        read -ra hresults <<<"0x80070005 $extra"
        for profile in "${list[@]}"; do
            for hr in "${hresults[@]}"; do
                printf '%s %s %s\n' "$profile" "$method" "$hr"
            done
        done
    done
}

model_set_fault() { m_fault_profile=$1 m_fault_method=$2 m_fault_hr=$3; }
model_clear_fault() { m_fault_profile= m_fault_method= m_fault_hr=; }

# model_load FILE: the model's firewall from a state file; `fail` lines are left to the caller.
model_load() {
    m_current=Standard m_ports_Domain=() m_ports_Standard=() m_statements=()
    local word rest
    while read -r word rest; do
        case $word in
            current) m_current=$rest ;;
            port)
                case $rest in
                    Domain\ *) m_ports_Domain+=("${rest#Domain }") ;;
                    Standard\ *) m_ports_Standard+=("${rest#Standard }") ;;
                esac
                ;;
            fail) ;;
            ?*) m_statements+=("$word $rest") ;;
        esac
    done <"$1"
}

# model_render: the model's firewall as the simulated firewall writes it back, with the fault.
model_render() {
    local line
    printf 'current %s\n' "$m_current"
    for line in ${m_ports_Domain[@]+"${m_ports_Domain[@]}"}; do printf 'port Domain %s\n' "$line"; done
    for line in ${m_ports_Standard[@]+"${m_ports_Standard[@]}"}; do printf 'port Standard %s\n' "$line"; done
    [ -z "$m_fault_method" ] || printf 'fail %s %s %s\n' "$m_fault_profile" "$m_fault_method" "$m_fault_hr"
    for line in ${m_statements[@]+"${m_statements[@]}"}; do printf '%s\n' "$line"; done
}

# hit METHOD BINDING: the injected fault answers this call. BINDING is the profile the call's
# object belongs to, `-` for none, or `Current` for GetProfileByType(2), which counts as made in
# the current profile as well.
hit() {
    [ -n "$m_fault_method" ] && [ "$1" = "$m_fault_method" ] || return 1
    case $m_fault_profile in
        '*') return 0 ;;
        Current) [ "$2" = Current ] ;;
        *) [ "$2" = "$m_fault_profile" ] || { [ "$2" = Current ] && [ "$m_current" = "$m_fault_profile" ]; } ;;
    esac
}

# Opening a profile (Domain, Standard, or Current for the probe): manager, policy, profile.
opens() { ! hit NetFwMgr::Create - && ! hit INetFwMgr::get_LocalPolicy - && ! hit INetFwPolicy::GetProfileByType "$1"; }
collection() { opens "$1" && ! hit INetFwProfile::get_GloballyOpenPorts "$1"; }
# The size query of a snapshot.
sized() { collection "$1" && ! hit INetFwOpenPorts::get_Count "$1"; }

# snapshot PROFILE: a whole snapshot succeeds. Each port is asked for every property.
snapshot() {
    sized "$1" || return 1
    local method
    for method in INetFwOpenPorts::get__NewEnum IEnumVARIANT::QueryInterface IEnumVARIANT::Next; do
        ! hit "$method" "$1" || return 1
    done
    local -n snapshot_ports=m_ports_$1
    [ "${#snapshot_ports[@]}" -gt 0 ] || return 0
    for method in QueryInterface get_Name get_IpVersion get_Protocol get_Port get_Scope get_RemoteAddresses \
        get_Enabled get_BuiltIn; do
        ! hit "INetFwOpenPort::$method" "$1" || return 1
    done
}

# port_index PROFILE PROTOCOL NUMBER: the index of that port in the profile, or nothing.
port_index() {
    local -n index_ports=m_ports_$1
    local i
    for i in "${!index_ports[@]}"; do
        [[ ${index_ports[$i]} == "$2 $3 "* ]] && { echo "$i"; return; }
    done
}

# port_name LINE: the name field of a port line (the rest after seven fields).
port_name() {
    local _1 _2 _3 _4 _5 _6 _7 name
    read -r _1 _2 _3 _4 _5 _6 _7 name <<<"$1"
    printf '%s' "$name"
}

# port_state PROFILE: 101 enabled, 102 disabled, 103 absent, 104 the snapshot failed.
port_state() {
    snapshot "$1" || { echo 104; return; }
    local i
    i=$(port_index "$1" UDP "$m_port_number")
    if [ -z "$i" ]; then
        echo 103
    else
        local -n state_ports=m_ports_$1
        [[ ${state_ports[$i]} == "UDP $m_port_number enabled "* ]] && echo 101 || echo 102
    fi
}

# add_or_enable PROFILE: the set-up in one profile; false when it failed.
add_or_enable() {
    collection "$1" || return 1
    local -n add_ports=m_ports_$1
    local i hr
    i=$(port_index "$1" UDP "$m_port_number")
    if hit INetFwOpenPorts::Item "$1"; then
        hr=$m_fault_hr
    elif [ -n "$i" ]; then
        hr=0
    else
        hr=0x80070002
    fi
    if [ "$hr" = 0 ]; then
        # The port found is switched on as it is, name and all.
        ! hit INetFwOpenPort::put_Enabled "$1" || return 1
        add_ports[$i]=${add_ports[$i]/ disabled / enabled }
        return 0
    fi
    # A new, free-standing port object: its calls belong to no profile.
    local method
    for method in NetFwOpenPort::Create INetFwOpenPort::put_Name INetFwOpenPort::put_IpVersion \
        INetFwOpenPort::put_Protocol INetFwOpenPort::put_Port INetFwOpenPort::put_Scope INetFwOpenPort::put_Enabled; do
        ! hit "$method" - || return 1
    done
    ! hit INetFwOpenPorts::Add "$1" || return 1
    # Add keys by number and protocol: an existing entry is overwritten in its place.
    local line="UDP $m_port_number enabled subnet any user - $monitor_name"
    if [ -n "$i" ]; then
        add_ports[$i]=$line
    else
        add_ports+=("$line")
    fi
}

# model_setup: a Setup or Silent run that goes on wherever it can.
model_setup() {
    m_stage=precheck m_rows=()
    if ! opens Current; then
        m_code=2
        return
    fi
    local domain standard
    domain=$(port_state Domain)
    standard=$(port_state Standard)
    if [ "$domain" = 101 ] && [ "$standard" = 101 ]; then
        m_code=5
    elif [ "$domain" = 104 ] || [ "$standard" = 104 ]; then
        m_code=6
    else
        m_stage=worker m_code=0
        add_or_enable Domain || m_code=6
        add_or_enable Standard || m_code=6
    fi
}

is_monitor_name() { [ "${1^^}" = "${monitor_name^^}" ]; }

# has_twin PROFILE LINE: the profile holds a port of the same number, protocol and exact name.
has_twin() {
    local -n twin_ports=m_ports_$1
    local proto number line
    read -r proto number _ <<<"$2"
    for line in ${twin_ports[@]+"${twin_ports[@]}"}; do
        [[ $line == "$proto $number "* ]] && [ "$(port_name "$line")" = "$(port_name "$2")" ] && return 0
    done
    return 1
}

# remove_port PROFILE PROTOCOL NUMBER: false when the removal failed.
remove_port() {
    collection "$1" || return 1
    local -n remove_ports=m_ports_$1
    local i hr
    i=$(port_index "$1" "$2" "$3")
    if hit INetFwOpenPorts::Item "$1"; then
        hr=$m_fault_hr
    elif [ -n "$i" ]; then
        hr=0
    else
        hr=0x80070002
    fi
    # "Not found" means there is nothing to remove; any other answer lets Remove decide.
    [ "$hr" != 0x80070002 ] || return 0
    ! hit INetFwOpenPorts::Remove "$1" || return 1
    [ -n "$i" ] || return 1
    unset "remove_ports[$i]"
    remove_ports=(${remove_ports[@]+"${remove_ports[@]}"})
}

# model_remove: a Remove run whose dialog ticks every row.
model_remove() {
    m_stage=precheck m_rows=()
    if ! opens Current; then
        m_code=2
        return
    fi
    # Both size queries answered and both profiles empty: nothing to list, nothing read.
    if sized Domain && sized Standard && [ "${#m_ports_Domain[@]}" -eq 0 ] && [ "${#m_ports_Standard[@]}" -eq 0 ]; then
        m_code=5
        return
    fi
    if ! snapshot Domain || ! snapshot Standard; then
        m_code=6
        return
    fi
    local entries=() line proto number
    for line in ${m_ports_Domain[@]+"${m_ports_Domain[@]}"}; do
        is_monitor_name "$(port_name "$line")" || continue
        read -r proto number _ <<<"$line"
        if has_twin Standard "$line"; then
            entries+=("both $proto $number")
        else
            entries+=("Domain $proto $number")
        fi
    done
    for line in ${m_ports_Standard[@]+"${m_ports_Standard[@]}"}; do
        is_monitor_name "$(port_name "$line")" && ! has_twin Domain "$line" || continue
        read -r proto number _ <<<"$line"
        entries+=("Standard $proto $number")
    done
    if [ "${#entries[@]}" -eq 0 ]; then
        m_code=5
        return
    fi
    m_stage=worker m_code=0
    local entry where
    for entry in "${entries[@]}"; do
        read -r where proto number <<<"$entry"
        m_rows+=("$proto $number")
        if [ "$where" = both ]; then
            remove_port Domain "$proto" "$number" || m_code=6
            remove_port Standard "$proto" "$number" || m_code=6
        else
            remove_port "$where" "$proto" "$number" || m_code=6
        fi
    done
}
