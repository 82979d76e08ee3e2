# Sourced by the Java benchmarks: which JDKs this machine has.

# The JDK's feature release (17, 25, ...), the first number of its java.version.
feature_version() {
    "$1/bin/java" -XshowSettings:properties -version 2>&1 |
        sed -n 's/^ *java\.version = \([0-9]*\).*/\1/p'
}

# The home of the newest JDK after 17 under /usr/lib/jvm, or nothing.
newest_jdk() {
    local best="" best_version=17 home version
    for home in /usr/lib/jvm/*/; do
        home=${home%/}
        [[ -x $home/bin/javac && ! -L $home ]] || continue
        version=$(feature_version "$home")
        if [[ $version =~ ^[0-9]+$ ]] && ((version > best_version)); then
            best=$home
            best_version=$version
        fi
    done
    echo "$best"
}
