// A program that carries a version record and does nothing else.
int main() {
    return 0;
}
