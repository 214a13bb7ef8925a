# Bash functions for driving the game in an X server (sourced, not run), shared by the
# screenshot target and the install test. Every wait is bounded.

# Prints the id of the window titled exactly "Vellumi" once it is mapped; fails after 15 s or
# as soon as the program with the given process id has ended.
xgame_wait_window() {
    local pid=$1 tries window
    for tries in $(seq 150); do
        kill -0 "$pid" 2>/dev/null || return 1
        window=$(xdotool search --onlyvisible --name '^Vellumi$' 2>/dev/null | head -n 1)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The game's opening fade holds input for about 3.5 s; give it a little more.
xgame_wait_fade() {
    sleep 4
}

# Leaves through the menu: a click on the menu bar, then "e" for the exit command. Retried, as
# a click that lands while the window still holds input is dropped. Succeeds when the program
# has ended within 10 s, whatever its status; the caller collects that with wait.
xgame_quit() {
    local window=$1 pid=$2 x y tries
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$((X + 20))
    y=$((Y + 8))
    for tries in $(seq 10); do
        kill -0 "$pid" 2>/dev/null || return 0
        xdotool key Escape mousemove "$x" "$y" click 1 sleep 0.4 key e 2>/dev/null
        local waited
        for waited in $(seq 10); do
            kill -0 "$pid" 2>/dev/null || return 0
            sleep 0.1
        done
    done
    kill -0 "$pid" 2>/dev/null && return 1
    return 0
}

# Ends the program if it is still running; for clean-up after a failure.
xgame_kill() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null
}
