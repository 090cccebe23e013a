"""How every scripted test reports its checks, and the closing count."""


def report(checks, tail=""):
    """Prints each (name, got, expected) check; returns the exit status."""
    failed = 0
    for name, got, expected in checks:
        if got == expected:
            print(f"ok   {name}")
            continue
        failed += 1
        print(f"FAIL {name}")
        for label, value in (("got     ", got), ("expected", expected)):
            lines = value if isinstance(value, list) else [value]
            for line in lines or ["(nothing)"]:
                print(f"     {label} {line if isinstance(line, str) else repr(line)}")
    print(f"{len(checks) - failed} passed, {failed} failed{tail}")
    return 1 if failed else 0
